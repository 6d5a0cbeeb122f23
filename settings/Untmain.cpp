#include "settings/Untmain.h"

#include <cstdio>

#include "data/history.h"
#include "data/roster.h"
#include "data/sprites.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/sjis.h"
#include "settings/Untgirl.h"
#include "settings/Untinit.h"
#include "m2k_version.h"

const char* const kSettingsCaption = "Marivel2起動カウンターKORVENの設定";
const char* const kStartupLinkName = "ミルテカ起動カウンター＋(プラス).lnk";
// The maker's home page: an address of the reserved example domain until the maker has one.
const char* const kHomePage = "https://www.example.com/m2kcount/";
const char* const kVersionText = "Version " M2K_VERSION_TEXT;

namespace {

const char kGameFilesMissing[] =
    "ゲームのシステムファイルが見つかりません。\n"
    "ゲームが標準インストールされていないか、\n"
    "正しいゲームフォルダが指定されていません。";

constexpr ui::Color kPanelColor = 8348914;  // red 242, green 100, blue 127
constexpr ui::Color kAqua = ui::Rgb(0, 255, 255);

// ---- Startup registration ----
const char* const kScopePrefix[2] = {"現ユーザーの", "全てのユーザーの"};
const char kRegisterQuestion[] =
    "スタートアップへ登録を行います。\nよろしいですか？\n※統合環境利用時は登録しないで下さい";
const char kAlreadyRegistered[] = "すでにスタートアップ登録済みです。";
const char kRemoveQuestion[] = "スタートアップの登録を取り消します。\nよろしいですか？";
const char kNotRegistered[] = "スタートアップには登録されておりません。";
// A registration that did not happen is said so, with the reason where it is known.
const char kLibraryMissing[] =
    "スタートアップへ登録できませんでした。\n"
    "DIDAZURA.DLLが見つからないか、壊れています。\n"
    "M2KCOUNT.EXEと同じフォルダに置いてください。";
const char kShortcutNotCreated[] =
    "スタートアップへ登録できませんでした。\n"
    "ショートカットを作成できませんでした。\n"
    "フォルダに書き込めない可能性があります。";
const char kNoStartupFolder[] =
    "スタートアップへ登録できませんでした。\n"
    "スタートアップフォルダの場所が分かりません。";
// The shortcut names the program by its full path, which Shift-JIS must be able to write.
const char kProgramPathNotShiftJis[] =
    "スタートアップへ登録できませんでした。\n"
    "本体のフォルダのパスに、使えない文字（Shift-JISで\n"
    "表せない文字）が含まれています。";
const char kShortcutNotRemoved[] =
    "スタートアップの登録を取り消せませんでした。\n"
    "ショートカットを削除できませんでした。\n"
    "フォルダに書き込めない可能性があります。";

ui::Font PanelFont(ui::Color color, bool bold) {
  ui::Font font = ui::FontOfPixels(12, bold, color);
  return font;
}

ui::Design StatCaption(ui::Panel*& panel, ui::Label*& member, const char* name, int left, int top,
                       const char* caption) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .caption = caption,
                           .font = PanelFont(ui::kWhite, false), .useFont = true, .autoSize = true,
                           .parent = panel});
}

ui::Design StatValue(ui::Panel*& panel, ui::Label*& member, const char* name, int left, int top) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .caption = "-",
                           .font = PanelFont(ui::kYellow, true), .useFont = true, .autoSize = true,
                           .parent = panel});
}

// "#,##0": whole numbers grouped by thousands with the locale's separator.
std::string Grouped(long long value) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += platform::ThousandsSeparator();
    text.push_back(digits[i]);
  }
  return value < 0 ? "-" + text : text;
}

// "#,##0.00" of the quotient count / days: two decimals, a half rounded away from zero, the
// whole part grouped, and the locale's separators. Worked in whole hundredths: "%.2f" of the
// double rounds an exact binary half to the even digit (1 / 8 gave "0.12", not "0.13").
std::string AverageText(long long count, long long days) {
  if (days <= 0) days = 1;  // no whole day yet: the count itself
  const long long magnitude = count < 0 ? -count : count;
  const long long hundredths = (magnitude * 200 + days) / (2 * days);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, "%02lld", hundredths % 100);
  const std::string sign = count < 0 && hundredths != 0 ? "-" : "";
  return sign + Grouped(hundredths / 100) + platform::DecimalSeparator() + fraction;
}

std::string StartTimeText(platform::CTime time) {
  const std::tm local = platform::LocalTime(time);
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}

int32_t NextCharacter(int32_t current) { return current >= 9 ? 0 : current + 1; }

}  // namespace

TfrmMain::TfrmMain(TfrmData& data) : frmData(data) {
  caption = kSettingsCaption;
  borderStyle = ui::BorderStyle::Single;
  minimizeBox = true;
  maximizeBox = false;
  position = ui::FormPosition::ScreenCenter;
  iconResource = "SETTINGSICON";
  font = ui::FontOfPixels(12);
  SetClientSize(292, 320);
  using ui::Bind;
  Build({
      Bind(imgBack, {.name = "imgBack", .width = 292, .height = 320, .picture = "MAIN_BACK"}),
      Bind(imgChar0, {.name = "imgChar0", .left = 16, .top = 5, .width = 120, .height = 176}),
      Bind(imgChar1, {.name = "imgChar1", .left = 156, .top = 5, .width = 120, .height = 176}),
      Bind(btnOk, {.name = "btnOk", .left = 128, .top = 288, .width = 75, .height = 25, .caption = "OK",
                   .isDefault = true, .tabOrder = 0}),
      Bind(btnCancel, {.name = "btnCancel", .left = 208, .top = 288, .width = 75, .height = 25,
                       .caption = "キャンセル", .isCancel = true, .tabOrder = 1}),
      Bind(cbxChar0, {.name = "cbxChar0", .left = 24, .top = 182, .width = 105, .height = 20, .tabOrder = 2,
                      .itemHeight = 12}),
      Bind(cbxChar1, {.name = "cbxChar1", .left = 164, .top = 182, .width = 105, .height = 20, .tabOrder = 3,
                      .itemHeight = 12}),
      Bind(pnlStat, {.name = "pnlStat", .left = 4, .top = 206, .width = 284, .height = 76, .color = kPanelColor,
                     .useColor = true, .tabOrder = 4, .bevelOuter = ui::BevelCut::None,
                     .bevelInner = ui::BevelCut::Lowered}),
      StatCaption(pnlStat, lblSC1, "lblSC1", 8, 8, "初回起動日時"),
      StatValue(pnlStat, lblInit, "lblInit", 88, 8),
      StatCaption(pnlStat, lblSC2, "lblSC2", 8, 24, "前回起動日時"),
      StatValue(pnlStat, lblLast, "lblLast", 88, 24),
      StatCaption(pnlStat, lblSC3, "lblSC3", 8, 40, "通算経過日数"),
      StatValue(pnlStat, lblDiffDay, "lblDiffDay", 88, 40),
      StatCaption(pnlStat, lblSC4, "lblSC4", 152, 40, "通算起動回数"),
      StatValue(pnlStat, lblTotal, "lblTotal", 232, 40),
      StatCaption(pnlStat, lblSC5, "lblSC5", 8, 56, "1日の平均起動回数"),
      StatValue(pnlStat, lblDayAve, "lblDayAve", 112, 56),
      StatCaption(pnlStat, lblSC6, "lblSC6", 152, 56, "1日の最大起動回数"),
      StatValue(pnlStat, lblDayMax, "lblDayMax", 256, 56),
      Bind(timChip, {.name = "timChip", .enabled = false, .interval = 200}),
  });
  mnuMain = MakeMainMenu("mnuMain", {
      {&mnuFunc, "mnuFunc", "機能(&F)", nullptr, {
          {&mnuConfig, "mnuConfig", "詳細設定(&C)...", [this] { mnuConfigClick(); }},
          {&mnuGirl, "mnuGirl", "女の子情報(&D)...", [this] { mnuGirlClick(); }},
          {&mnuStartup, "mnuStartup", "スタートアップ登録(&S)", nullptr, {
              {&mnuStartupUser, "mnuStartupUser", "現ユーザーのみ利用(&U)", [this] { mnuStartupUserClick(); }},
              {&mnuStartupComm, "mnuStartupComm", "全てのユーザー利用(&A)", [this] { mnuStartupCommClick(); }},
          }},
          {&mnuStartupDel, "mnuStartupDel", "スタートアップ抹消(&D)", [this] { mnuStartupDelClick(); }},
      }},
      {&mnuHelp, "mnuHelp", "ヘルプ(&H)", nullptr, {
          {&mnuReadme, "mnuReadme", "READMEの表示(&R)", [this] { mnuReadmeClick(); }},
          {&mnuWeb, "mnuWeb", "ZORVEのホームページ(&W)", [this] { mnuWebClick(); }},
          {&mnuAbout, "mnuAbout", "バージョン情報(&A)...", [this] { mnuAboutClick(); }},
      }},
  });
  pumChar = MakePopupMenu("pumChar");
  imgChar0->popupMenu = pumChar;
  imgChar1->popupMenu = pumChar;

  onShow = [this] { FormShow(); };
  btnOk->onClick = [this] { btnOkClick(); };
  btnCancel->onClick = [this] { btnCancelClick(); };
  cbxChar0->onChange = [this] { cbxChar0Change(); };
  cbxChar1->onChange = [this] { cbxChar1Change(); };
  imgChar0->onMouseDown = [this](ui::MouseButton b, int x, int y) { imgChar0MouseDown(b, x, y); };
  imgChar1->onMouseDown = [this](ui::MouseButton b, int x, int y) { imgChar1MouseDown(b, x, y); };
  imgChar0->onMouseUp = [this](ui::MouseButton b, int x, int y) { imgChar0MouseUp(b, x, y); };
  imgChar1->onMouseUp = [this](ui::MouseButton b, int x, int y) { imgChar1MouseUp(b, x, y); };
  timChip->onTimer = [this] { timChipTimer(); };
  FormCreate();
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::FormCreate() {
  FShownChar0 = FShownChar1 = -1;
  DetectStartup();
  ui::Application::Instance().SetIcon(frmData.imgIcon->iconResource);
  frmData.LoadSettings();
  if (frmData.FirstSetupPending()) btnCancel->SetEnabled(false);
  frmData.ExtractImages();
  frmData.LoadStartHistory();
  RefreshCharacters();
  FillCharacterLists();
  ShowStatistics();
}

void TfrmMain::DetectStartup() {
  const platform::ShellFolder folders[2] = {platform::ShellFolder::Startup, platform::ShellFolder::CommonStartup};
  ui::MenuItem* items[2] = {mnuStartupUser, mnuStartupComm};
  for (int i = 0; i < 2; ++i) {
    FStartupItem[i] = items[i];
    FStartupFolder[i].clear();
    FStartupLink[i].clear();
    std::string path;
    const platform::FolderLookup found = platform::SpecialFolderPath(folders[i], path);
    // A folder that Shift-JIS cannot name is out of reach as one the shell does not have.
    if (found == platform::FolderLookup::NoFolder || found == platform::FolderLookup::NotShiftJis) {
      items[i]->SetEnabled(false);
      continue;
    }
    if (found == platform::FolderLookup::NoPath) continue;
    FStartupFolder[i] = path;
    FStartupLink[i] = path + "\\" + kStartupLinkName;
    items[i]->SetChecked(platform::FileExists(FStartupLink[i]));
  }
}

void TfrmMain::FormShow() { timChip->SetEnabled(true); }

void TfrmMain::FormDestroy() {
  // The sheets taken out of the archive at opening; hidden ones too, read-only ones stay.
  platform::RemoveMatching(".\\*.TGA");
}

void TfrmMain::RefreshCharacters() {
  CounterSettings& s = frmData.counterSettings;
  if (s.char0 != FShownChar0) {
    FShownChar0 = s.char0;
    ResetChip(s.char0, FChipStep0, frmData.ChipState[0]);
  }
  if (s.char1 != FShownChar1) {
    FShownChar1 = s.char1;
    ResetChip(s.char1, FChipStep1, frmData.ChipState[1]);
  }
  frmData.DrawCharacters(0, imgChar0, imgBack, imgChar1);
  cbxChar0->SetItemIndex(s.char0);
  cbxChar1->SetItemIndex(s.char1);
}

void TfrmMain::FillCharacterLists() {
  cbxChar0->Clear();
  cbxChar1->Clear();
  for (int index = 0; index < kRosterSize; ++index) {
    const std::string name = frmData.CharacterName(-1, index);
    cbxChar0->Add(name);
    cbxChar1->Add(name);
  }
  cbxChar0->SetItemIndex(frmData.counterSettings.char0);
  cbxChar1->SetItemIndex(frmData.counterSettings.char1);
}

void TfrmMain::BuildCharacterMenu() {
  ui::MenuItem& root = pumChar->Root();
  root.Clear();
  const int32_t current = FMenuSide == 0 ? frmData.counterSettings.char0 : frmData.counterSettings.char1;
  for (int n = 0; n < kRosterSize; ++n) {
    ui::MenuItem* item = root.Add("mitChar" + std::to_string(n), frmData.CharacterName(frmData.counterSettings.name, n));
    item->onClick = [this, item] { CharacterMenuClick(item); };
    item->SetChecked(n == current);
  }
}

void TfrmMain::CharacterMenuClick(ui::MenuItem* item) {
  const int position = item->IndexInParent();
  if (FMenuSide == 0 && position != frmData.counterSettings.char0) frmData.counterSettings.char0 = position;
  if (FMenuSide == 1 && position != frmData.counterSettings.char1) frmData.counterSettings.char1 = position;
  RefreshCharacters();
}

void TfrmMain::cbxChar0Change() {
  if (cbxChar0->ItemIndex() == frmData.counterSettings.char0) return;
  frmData.counterSettings.char0 = cbxChar0->ItemIndex();
  RefreshCharacters();
}

void TfrmMain::cbxChar1Change() {
  if (cbxChar1->ItemIndex() == frmData.counterSettings.char1) return;
  frmData.counterSettings.char1 = cbxChar1->ItemIndex();
  RefreshCharacters();
}

void TfrmMain::imgChar0MouseDown(ui::MouseButton, int, int) {
  FMenuSide = 0;
  BuildCharacterMenu();
}

void TfrmMain::imgChar1MouseDown(ui::MouseButton, int, int) {
  FMenuSide = 1;
  BuildCharacterMenu();
}

void TfrmMain::FigureReleased(int32_t& setting, ui::MouseButton button, int x, int y, const ui::Image& image) {
  if (button != ui::MouseButton::Left) return;
  if (x < 0 || x >= image.Width() || y < 0 || y >= image.Height()) return;
  setting = NextCharacter(setting);
  RefreshCharacters();
}

void TfrmMain::imgChar0MouseUp(ui::MouseButton button, int x, int y) {
  FigureReleased(frmData.counterSettings.char0, button, x, y, *imgChar0);
}

void TfrmMain::imgChar1MouseUp(ui::MouseButton button, int x, int y) {
  FigureReleased(frmData.counterSettings.char1, button, x, y, *imgChar1);
}

void TfrmMain::timChipTimer() {
  StepChip(frmData.counterSettings.char0, FChipStep0, frmData.ChipState[0]);
  StepChip(frmData.counterSettings.char1, FChipStep1, frmData.ChipState[1]);
  frmData.DrawCharacters(0, imgChar0, imgBack, imgChar1);
}

void TfrmMain::ShowStatistics() {
  const StartHistory& history = frmData.startHistory;
  if (history.startNumber == 1) {
    for (ui::Label* label : {lblInit, lblLast, lblDiffDay, lblDayAve, lblDayMax}) label->SetCaption("-");
    lblTotal->SetCaption("0");
    return;
  }
  lblInit->SetCaption(StartTimeText(history.firstStart));
  lblLast->SetCaption(StartTimeText(history.lastStart));
  // Whole periods of 24 hours since the first start, the first period counted as day 1.
  const long long elapsed = static_cast<long long>(platform::CurrentTime()) - history.firstStart;
  const long long days = elapsed / 86400 + 1;
  lblDiffDay->SetCaption(Grouped(days));
  const long long total = static_cast<long long>(history.startNumber) - 1;
  lblTotal->SetCaption(Grouped(total));
  lblDayAve->SetCaption(AverageText(total, days));
  lblDayMax->SetCaption(Grouped(history.maxStartsPerDay));
}

void TfrmMain::btnOkClick() {
  if (!frmData.GameFilesPresent()) {
    ui::MessageDlg(*this, kGameFilesMissing, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  if (!btnCancel->Enabled()) RegisterAtFirstSetup();
  ConsolidateStartup();
  frmData.SaveSettings();
  Close();
}

void TfrmMain::btnCancelClick() { Close(); }

void TfrmMain::mnuConfigClick() {
  const std::string folderBefore = frmData.counterSettings.dirwave;
  {
    TfrmInit dialog(*this, frmData);
    ui::PlaceDialog(*this, dialog);
    dialog.ShowModal();
  }
  if (frmData.counterSettings.dirwave != folderBefore) frmData.ExtractImages();
  RefreshCharacters();
  FillCharacterLists();
}

void TfrmMain::mnuGirlClick() {
  TfrmGirl profile(*this, frmData);
  profile.ShowModal();
}

// The program's folder is the current one: a folder that Shift-JIS cannot name is reached by
// the name alone.
void TfrmMain::mnuReadmeClick() { platform::ShellOpen(platform::ProgramFolder() + "README.TXT"); }

void TfrmMain::mnuWebClick() { platform::ShellOpen(kHomePage); }

void TfrmMain::mnuAboutClick() {
  TfrmVer dialog(*this);
  ui::PlaceDialog(*this, dialog);
  dialog.ShowModal();
}

// ---- Startup registration ----

// Both scopes name the same file: the current user's and all users' Startup folders are one.
bool TfrmMain::StartupLinksAreOne() const {
  return !FStartupLink[0].empty() && platform::SamePathIgnoringCase(FStartupLink[0], FStartupLink[1]);
}

bool TfrmMain::StartupRegistered(int scope) const {
  return FStartupItem[scope]->Enabled() && platform::FileExists(FStartupLink[scope]);
}

// Deletes the scope's shortcut. The check mark then shows what is really left, so a shortcut
// that could not be deleted still shows as registered; true when none is left.
bool TfrmMain::DeleteStartupLink(int scope) {
  const std::string& link = FStartupLink[scope];
  if (!link.empty()) platform::RemoveFile(link);
  const bool left = !link.empty() && platform::FileExists(link);
  FStartupItem[scope]->SetChecked(left);
  return !left;
}

void TfrmMain::RegisterStartup(int scope, int other) {
  const std::string& link = FStartupLink[scope];
  if (platform::FileExists(link)) {
    ui::MessageDlg(*this, kAlreadyRegistered, ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    return;
  }
  if (link.empty()) {
    ui::MessageDlg(*this, kNoStartupFolder, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  const std::string program = platform::ProgramPath();
  if (program.empty()) {
    ui::MessageDlg(*this, kProgramPathNotShiftJis, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  const std::string question = std::string(kScopePrefix[scope]) + kRegisterQuestion;
  if (ui::MessageDlg(*this, question, ui::MessageIcon::Warning, ui::MessageButtons::YesNo) != ui::MessageResult::Yes)
    return;
  const ShortcutCall call = shortcuts_.Create(link, program, "/C");
  // Only a shortcut on disk is a registration; the other scope's one stays until then.
  if (!platform::FileExists(link)) {
    const char* reason = call == ShortcutCall::LibraryMissing ? kLibraryMissing : kShortcutNotCreated;
    ui::MessageDlg(*this, reason, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  FStartupItem[scope]->SetChecked(true);
  // Where both scopes' folders are one (redirected folders), the other scope's link is this one.
  if (StartupLinksAreOne()) {
    FStartupItem[other]->SetChecked(StartupRegistered(other));
    return;
  }
  if (!DeleteStartupLink(other))
    ui::MessageDlg(*this, kShortcutNotRemoved, ui::MessageIcon::Error, ui::MessageButtons::Ok);
}

void TfrmMain::mnuStartupUserClick() { RegisterStartup(0, 1); }

void TfrmMain::mnuStartupCommClick() { RegisterStartup(1, 0); }

void TfrmMain::mnuStartupDelClick() {
  if (!StartupRegistered(0) && !StartupRegistered(1)) {
    ui::MessageDlg(*this, kNotRegistered, ui::MessageIcon::Warning, ui::MessageButtons::Ok);
    return;
  }
  if (ui::MessageDlg(*this, kRemoveQuestion, ui::MessageIcon::Warning, ui::MessageButtons::YesNo) !=
      ui::MessageResult::Yes)
    return;
  const bool userRemoved = DeleteStartupLink(0);
  const bool commonRemoved = DeleteStartupLink(1);
  if (!userRemoved || !commonRemoved)
    ui::MessageDlg(*this, kShortcutNotRemoved, ui::MessageIcon::Error, ui::MessageButtons::Ok);
}

// The first setup offers the registration unless a shortcut is already there: for the current
// user where that folder is known, else for all users. Without a known folder nothing is offered.
void TfrmMain::RegisterAtFirstSetup() {
  if (StartupRegistered(0) || StartupRegistered(1)) return;
  for (int scope : {0, 1}) {
    if (FStartupItem[scope]->Enabled() && !FStartupLink[scope].empty()) {
      RegisterStartup(scope, 1 - scope);
      return;
    }
  }
}

// At most one registration stays; of two, the current user's.
void TfrmMain::ConsolidateStartup() {
  if (StartupLinksAreOne()) return;  // the one shortcut is both scopes' registration
  if (StartupRegistered(0)) platform::RemoveFile(FStartupLink[1]);
  if (StartupRegistered(1)) platform::RemoveFile(FStartupLink[0]);
}

// ---- About box ----

TfrmVer::TfrmVer(ui::Form& owner) {
  ownerForm = &owner;
  caption = "バージョン情報";
  borderStyle = ui::BorderStyle::Dialog;
  font = ui::FontOfPixels(12);
  SetClientSize(279, 93);
  using ui::Bind;
  Build({
      Bind(shpVer, {.name = "shpVer", .left = 4, .top = 4, .width = 269, .height = 57, .color = ui::kBlack}),
      Bind(imgLogo, {.name = "imgLogo", .left = 8, .top = 12, .width = 73, .height = 33, .picture = "ABOUT_LOGO",
                     .autoSize = true}),
      Bind(lblTitle, {.name = "lblTitle", .left = 84, .top = 20, .caption = "Marivel2起動カウンターKORVEN",
                      .font = ui::FontOfPixels(12, true, ui::kWhite), .useFont = true, .color = ui::kBlack,
                      .autoSize = true, .transparent = false}),
      Bind(lblName, {.name = "lblName", .left = 140, .top = 32, .caption = kVersionText,
                     .font = ui::FontOfPixels(12, true, kAqua), .useFont = true, .color = ui::kBlack,
                     .autoSize = true, .transparent = false}),
      Bind(btnOk, {.name = "btnOk", .left = 104, .top = 68, .width = 80, .height = 21, .caption = "OK",
                   .isCancel = true, .modalResult = ui::mrOk, .tabOrder = 0}),
  });
  shpVer->shape = ui::ShapeType::RoundRect;
  btnOk->onClick = [this] { btnOkClick(); };
}

void TfrmVer::btnOkClick() { Close(); }
