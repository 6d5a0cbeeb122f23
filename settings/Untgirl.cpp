#include "settings/Untgirl.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "data/Untdata.h"
#include "data/sprites.h"

const char* const kGirlCaption = "女の子情報";

namespace {

constexpr ui::Color kBackground = 14931966;  // red 254, green 215, blue 227
constexpr ui::Color kPanelColor = 8348914;   // red 242, green 100, blue 127

ui::Font GirlFont(bool bold = false, ui::Color color = ui::kBlack) {
  ui::Font font = ui::FontOfPixels(12, bold, color);
  font.name = "ＭＳ Ｐゴシック";
  return font;
}

ui::Design PanelLabel(ui::Panel*& panel, ui::Label*& member, const char* name, int left, int top,
                      const char* caption, ui::Color color, bool visible) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .caption = caption,
                           .font = GirlFont(true, color), .useFont = true, .autoSize = true,
                           .visible = visible, .parent = panel});
}

// A row of the panel: the caption in yellow, the value beside it in white.
std::vector<ui::Design> PanelRow(ui::Panel*& panel, ui::Label*& caption, ui::Label*& value,
                                 const char* captionName, const char* valueName, int top,
                                 const char* captionText, const char* designValue = "？", bool visible = true) {
  return {PanelLabel(panel, caption, captionName, 8, top, captionText, ui::kYellow, visible),
          PanelLabel(panel, value, valueName, 64, top, designValue, ui::kWhite, visible)};
}

struct SignBound {
  int32_t lastKey;  // month × 100 + day of the sign's last day
  const char* sign;
};

const SignBound kSigns[] = {
    {120, "山羊座"}, {219, "水瓶座"}, {320, "魚座"},   {420, "牡羊座"},  {521, "牡牛座"},
    {621, "双子座"}, {723, "蟹座"},   {823, "獅子座"}, {923, "乙女座"},  {1023, "天秤座"},
    {1122, "さそり座"}, {1222, "射手座"},
};

// A whole height shows without a decimal part; any other with up to six significant digits,
// trailing zeros dropped.
std::string HeightText(double height) {
  char text[64];
  if (height == std::floor(height) && std::fabs(height) < 1e15)
    std::snprintf(text, sizeof text, "%.0fcm", height);
  else
    std::snprintf(text, sizeof text, "%.6Gcm", height);
  return text;
}

// Looked up by month × 100 + day; the pair is not checked as a date, so 30 February falls among
// the days of 魚座.
std::string StarSign(int32_t month, int32_t day) {
  const int32_t key = month * 100 + day;
  for (const SignBound& bound : kSigns)
    if (key <= bound.lastKey) return bound.sign;
  return "山羊座";
}

std::string BirthdayText(int32_t month, int32_t day) {
  return std::to_string(month) + "月 " + std::to_string(day) + "日 (" + StarSign(month, day) + ")";
}

}  // namespace

TfrmGirl::TfrmGirl(ui::Form& opener, TfrmData& data) : frmData(data) {
  ownerForm = &opener;
  caption = kGirlCaption;
  borderStyle = ui::BorderStyle::Dialog;
  color = kBackground;
  font = GirlFont();
  SetClientSize(390, 208);
  using ui::Bind;
  std::vector<ui::Design> design = {
      Bind(imgBack, {.name = "imgBack", .width = 390, .height = 208, .picture = "GIRL_BACK"}),
      Bind(imgChar0, {.name = "imgChar0", .left = 267, .top = 2, .width = 120, .height = 176}),
      Bind(pnlGirl, {.name = "pnlGirl", .left = 16, .top = 8, .width = 249, .height = 153, .color = kPanelColor,
                     .useColor = true, .tabOrder = 3, .bevelOuter = ui::BevelCut::None,
                     .bevelInner = ui::BevelCut::Lowered, .singleBorder = true}),
      Bind(btnClose, {.name = "btnClose", .left = 296, .top = 178, .width = 74, .height = 26,
                      .caption = "閉じる", .isCancel = true, .tabOrder = 2}),
      Bind(bbtChar0, {.name = "bbtChar0", .left = 4, .top = 168, .width = 134, .height = 36,
                      .picture = "GIRL_PREV", .tabOrder = 1}),
      Bind(bbtChar1, {.name = "bbtChar1", .left = 144, .top = 168, .width = 134, .height = 36,
                      .picture = "GIRL_NEXT", .tabOrder = 0}),
      Bind(timChip, {.name = "timChip", .enabled = false, .interval = 200}),
  };
  const std::vector<ui::Design> rows[] = {
      PanelRow(pnlGirl, lblName0, lblName1, "lblName0", "lblName1", 8, "名前 :"),
      PanelRow(pnlGirl, lblBirth0, lblBirth1, "lblBirth0", "lblBirth1", 28, "誕生日 :"),
      PanelRow(pnlGirl, lblBlood0, lblBlood1, "lblBlood0", "lblBlood1", 48, "血液型 :"),
      PanelRow(pnlGirl, lblHeight0, lblHeight1, "lblHeight0", "lblHeight1", 68, "身長 :"),
      PanelRow(pnlGirl, lblSize0, lblSize1, "lblSize0", "lblSize1", 87, "３サイズ :"),
      PanelRow(pnlGirl, lblCV0, lblCV1, "lblCV0", "lblCV1", 107, "ＣＶ :"),
      // The class row stays hidden and is never filled.
      PanelRow(pnlGirl, lblKumi0, lblKumi1, "lblKumi0", "lblKumi1", 127, "クラス :", "？年？組", false),
  };
  for (const auto& row : rows) design.insert(design.end(), row.begin(), row.end());
  Build(design);
  pumChar = MakePopupMenu("pumChar");
  imgChar0->popupMenu = pumChar;

  onShow = [this] { FormShow(); };
  btnClose->onClick = [this] { btnCloseClick(); };
  bbtChar0->onClick = [this] { bbtChar0Click(); };
  bbtChar1->onClick = [this] { bbtChar1Click(); };
  imgChar0->onMouseDown = [this](ui::MouseButton b, int x, int y) { imgChar0MouseDown(b, x, y); };
  imgChar0->onMouseUp = [this](ui::MouseButton b, int x, int y) { imgChar0MouseUp(b, x, y); };
  timChip->onTimer = [this] { timChipTimer(); };

  ui::PlaceDialog(opener, *this);
  FormCreate();
}

void TfrmGirl::FormCreate() {
  FIndex = 0;
  FDrawnIndex = -1;
  ShowFigure();
  ShowProfile();
}

void TfrmGirl::FormShow() { timChip->SetEnabled(true); }

void TfrmGirl::btnCloseClick() { Close(); }

void TfrmGirl::ShowCharacter(int32_t index) {
  FIndex = index;
  ShowFigure();
  ShowProfile();
}

void TfrmGirl::bbtChar0Click() { ShowCharacter(FIndex <= 0 ? kRosterSize - 1 : FIndex - 1); }

void TfrmGirl::bbtChar1Click() { ShowCharacter(FIndex >= kRosterSize - 1 ? 0 : FIndex + 1); }

void TfrmGirl::imgChar0MouseDown(ui::MouseButton, int, int) {
  // Rebuilt at every press, so the names follow the name style and the tick the character.
  ui::MenuItem& root = pumChar->Root();
  root.Clear();
  for (int n = 0; n < kRosterSize; ++n) {
    ui::MenuItem* item = root.Add("mitChar" + std::to_string(n), frmData.CharacterName(frmData.counterSettings.name, n));
    item->onClick = [this, item] { CharacterMenuClick(item); };
    item->SetChecked(n == FIndex);
  }
}

void TfrmGirl::imgChar0MouseUp(ui::MouseButton button, int x, int y) {
  if (button != ui::MouseButton::Left) return;
  if (x < 0 || x >= imgChar0->Width() || y < 0 || y >= imgChar0->Height()) return;
  bbtChar1Click();
}

void TfrmGirl::CharacterMenuClick(ui::MenuItem* item) { ShowCharacter(item->IndexInParent()); }

void TfrmGirl::timChipTimer() {
  StepChip(FIndex, FChipStep, frmData.ChipState[0]);
  frmData.DrawCharacter(FIndex, frmData.ChipState[0].variant, imgBack, imgChar0, frmData.ChipState[0].pose);
}

void TfrmGirl::ShowFigure() {
  ResetChip(FIndex, FChipStep, frmData.ChipState[0]);
  // The same character again only restarts the cycle: the next tick draws.
  if (FIndex != FDrawnIndex) frmData.DrawCharacter(FIndex, frmData.ChipState[0].variant, imgBack, imgChar0, frmData.ChipState[0].pose);
  FDrawnIndex = FIndex;
}

void TfrmGirl::ShowProfile() { ShowProfileOf(Roster[FIndex]); }

void TfrmGirl::ShowProfileOf(const CharacterProfile& row) {
  lblName1->SetCaption(frmData.ToFullWidth(row.fullName));
  lblBirth1->SetCaption(BirthdayText(row.birthMonth, row.birthDay));
  lblBlood1->SetCaption(row.bloodType);
  lblHeight1->SetCaption(HeightText(row.height));
  lblSize1->SetCaption(row.sizes);
  lblCV1->SetCaption(row.voiceActor);
}
