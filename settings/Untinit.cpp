#include "settings/Untinit.h"

#include "data/Untdata.h"
#include "settings/Untdir.h"

const char* const kInitCaption = "詳細設定";

namespace {

const char kNoFolderQuestion[] =
    "音声を再生させる合は、『Marivel2 KORVEN』が\n"
    "インストールされているフォルダを指定する必要があります。\n"
    "このまま設定を強行しますか？";

constexpr int kNameBytes = 12;  // 6 full-width characters
const char* const kVoiceBoxNames[10] = {"chkWave0", "chkWave1", "chkWave2", "chkWave3", "chkWave4",
                                        "chkWave5", "chkWave6", "chkWave7", "chkWave8", "chkWave9"};

ui::Font TimeLabelFont() {
  ui::Font font = ui::FontOfPixels(12);
  font.name = "ＭＳ Ｐゴシック";
  return font;
}

// The voice boxes fill the group row by row, three to a row.
ui::Design VoiceBox(ui::GroupBox*& group, ui::CheckBox*& member, int n) {
  return ui::Bind(member, {.name = kVoiceBoxNames[n], .left = 8 + 104 * (n % 3), .top = 20 + 20 * (n / 3),
                           .width = 97, .height = 13, .parent = group});
}

ui::Design NameBox(ui::GroupBox*& group, ui::Edit*& member, const char* name, int left, int top) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .width = 121, .height = 20, .parent = group,
                           .maxLength = kNameBytes});
}

ui::Design NameLabel(ui::GroupBox*& group, ui::Label*& member, const char* name, int left, int top,
                     const char* caption) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .caption = caption, .autoSize = true,
                           .parent = group});
}

}  // namespace

TfrmInit::TfrmInit(ui::Form& owner, TfrmData& data) : frmData(data) {
  ownerForm = &owner;
  caption = kInitCaption;
  borderStyle = ui::BorderStyle::Dialog;
  font = ui::FontOfPixels(12);
  SetClientSize(340, 541);
  using ui::Bind;
  std::vector<ui::Design> design = {
      Bind(bevDir, {.name = "bevDir", .left = 4, .top = 4, .width = 333, .height = 45}),
      Bind(bevWave, {.name = "bevWave", .left = 4, .top = 56, .width = 333, .height = 161}),
      Bind(bevCheck, {.name = "bevCheck", .left = 4, .top = 224, .width = 333, .height = 137}),
      Bind(bevEdit, {.name = "bevEdit", .left = 4, .top = 368, .width = 333, .height = 137}),
      Bind(lblDir, {.name = "lblDir", .left = 12, .top = 8, .caption = "ゲームフォルダの指定(&F)", .autoSize = true,
                    .focusControl = edtDir}),
      Bind(edtDir, {.name = "edtDir", .left = 12, .top = 24, .width = 293, .height = 20, .color = ui::kButtonFace,
                    .useColor = true, .tabStop = false, .readOnly = true}),
      Bind(bbtDir, {.name = "bbtDir", .left = 306, .top = 21, .width = 24, .height = 24, .picture = "FOLDER_OPEN",
                    .hint = "ゲームフォルダの指定"}),
      Bind(chkWave, {.name = "chkWave", .left = 12, .top = 64, .width = 117, .height = 13,
                     .caption = "音声を再生する(&W)"}),
      Bind(gbxWave, {.name = "gbxWave", .left = 12, .top = 84, .width = 317, .height = 101,
                     .caption = "再生する音声の選択"}),
  };
  for (int n = 0; n < 10; ++n) design.push_back(VoiceBox(gbxWave, chkWaveN[n], n));
  const std::vector<ui::Design> rest = {
      Bind(chkRepl, {.name = "chkRepl", .left = 12, .top = 196, .width = 189, .height = 13,
                     .caption = "Windowsのサウンドを置換する(&S)"}),
      Bind(chkName, {.name = "chkName", .left = 12, .top = 232, .width = 241, .height = 13,
                     .caption = "キャラクターの名前は呼び名で表示する(&N)"}),
      Bind(chkRand, {.name = "chkRand", .left = 12, .top = 252, .width = 277, .height = 13,
                     .caption = "カウンターのキャラクターはランダムで決定する(&R)"}),
      Bind(gbxRand, {.name = "gbxRand", .left = 12, .top = 276, .width = 317, .height = 53,
                     .caption = "ランダムの決定方法"}),
      Bind(rbtRand1, {.name = "rbtRand1", .left = 8, .top = 16, .width = 133, .height = 17,
                      .caption = "左右両方ともランダム", .parent = gbxRand}),
      Bind(rbtRand2, {.name = "rbtRand2", .left = 164, .top = 16, .width = 145, .height = 17,
                      .caption = "右側キャラのみランダム", .parent = gbxRand}),
      Bind(rbtRand3, {.name = "rbtRand3", .left = 8, .top = 32, .width = 145, .height = 17,
                      .caption = "選択した二人のどちらか", .parent = gbxRand}),
      Bind(chkForm, {.name = "chkForm", .left = 12, .top = 340, .width = 225, .height = 13,
                     .caption = "カウンターの可視境界線は表示しない(&L)"}),
      Bind(gbxName, {.name = "gbxName", .left = 12, .top = 376, .width = 317, .height = 93,
                     .caption = "主人公の名前"}),
      NameLabel(gbxName, lblName1a, "lblName1a", 8, 20, "姓:"),
      NameLabel(gbxName, lblName2a, "lblName2a", 160, 20, "名:"),
      NameLabel(gbxName, lblName1b, "lblName1b", 8, 44, "かな:"),
      NameLabel(gbxName, lblName3, "lblName3", 120, 68, "ニックネーム:"),
      NameBox(gbxName, edtName1a, "edtName1a", 32, 16),
      NameBox(gbxName, edtName1b, "edtName1b", 184, 16),
      NameBox(gbxName, edtName2a, "edtName2a", 32, 40),
      NameBox(gbxName, edtName2b, "edtName2b", 184, 40),
      NameBox(gbxName, edtName3, "edtName3", 184, 64),
      Bind(bbtDefault, {.name = "bbtDefault", .left = 32, .top = 64, .width = 65, .height = 23,
                        .caption = "デフォルト", .parent = gbxName}),
      Bind(lblTimer, {.name = "lblTimer", .left = 12, .top = 480, .caption = "表示時間[秒](&T)",
                      .font = TimeLabelFont(), .useFont = true, .autoSize = true, .focusControl = edtTimer}),
      Bind(edtTimer, {.name = "edtTimer", .left = 100, .top = 476, .width = 17, .height = 20, .maxLength = 1}),
      Bind(updTimer, {.name = "updTimer", .left = 117, .top = 476, .width = 15, .height = 20, .min = 1, .max = 9,
                      .associate = edtTimer}),
      Bind(lblDelay, {.name = "lblDelay", .left = 180, .top = 480, .caption = "遅延時間[秒](&D)",
                      .font = TimeLabelFont(), .useFont = true, .autoSize = true, .focusControl = edtDelay}),
      Bind(edtDelay, {.name = "edtDelay", .left = 268, .top = 476, .width = 17, .height = 20, .maxLength = 1}),
      Bind(updDelay, {.name = "updDelay", .left = 285, .top = 476, .width = 15, .height = 20, .min = 0, .max = 9,
                      .associate = edtDelay}),
      Bind(bbtOk, {.name = "bbtOk", .left = 184, .top = 511, .width = 75, .height = 25, .caption = "OK",
                   .isDefault = true}),
      Bind(bbtCancel, {.name = "bbtCancel", .left = 264, .top = 511, .width = 75, .height = 25,
                       .caption = "キャンセル", .isCancel = true, .modalResult = ui::mrCancel}),
  };
  design.insert(design.end(), rest.begin(), rest.end());
  Build(design);

  chkWave->onClick = [this] { chkWaveClick(); };
  chkRand->onClick = [this] { chkRandClick(); };
  chkName->onClick = [this] { chkNameClick(); };
  bbtDir->onClick = [this] { bbtDirClick(); };
  bbtDefault->onClick = [this] { bbtDefaultClick(); };
  bbtOk->onClick = [this] { bbtOkClick(); };
  bbtCancel->onClick = [this] { bbtCancelClick(); };
  FormCreate();
}

void TfrmInit::FormCreate() {
  const CounterSettings& s = frmData.counterSettings;
  edtDir->SetText(s.dirwave);
  chkWave->SetChecked(s.wave != 0);
  for (int n = 0; n < 10; ++n)
    if (static_cast<size_t>(n) < s.usewave.size() && s.usewave[n] == '1') chkWaveN[n]->SetChecked(true);
  chkRepl->SetChecked(s.repl != 0);
  chkName->SetChecked(s.name != 0);
  chkRand->SetChecked(s.rand != 0);
  if (s.rand == 1) rbtRand1->SetChecked(true);
  if (s.rand == 2) rbtRand2->SetChecked(true);
  if (s.rand == 3) rbtRand3->SetChecked(true);
  chkForm->SetChecked(s.form != 0);
  updTimer->SetPosition(s.timer);
  updDelay->SetPosition(s.delay);
  edtName1a->SetText(s.name1a);
  edtName1b->SetText(s.name1b);
  edtName2a->SetText(s.name2a);
  edtName2b->SetText(s.name2b);
  edtName3->SetText(s.name3);
  SetCharacterCaptions();
  UpdateControlStates();
}

void TfrmInit::chkWaveClick() { UpdateControlStates(); }
void TfrmInit::chkRandClick() { UpdateControlStates(); }
void TfrmInit::chkNameClick() { SetCharacterCaptions(); }

void TfrmInit::SetCharacterCaptions() {
  const int style = chkName->Checked() ? 1 : 0;
  for (int n = 0; n < 10; ++n) chkWaveN[n]->SetCaption(frmData.CharacterName(style, n));
}

void TfrmInit::UpdateControlStates() {
  // Disabled boxes keep their marks: voices turned off and on again come back as they were.
  const bool voices = chkWave->Checked();
  for (ui::CheckBox* box : chkWaveN) box->SetEnabled(voices);
  chkRepl->SetEnabled(voices);
  const bool random = chkRand->Checked();
  bool chosen = false;
  for (ui::RadioButton* way : {rbtRand1, rbtRand2, rbtRand3}) {
    way->SetEnabled(random);
    chosen = chosen || (way->Checked() && way->Enabled());
  }
  if (!chosen) rbtRand2->SetChecked(true);
}

void TfrmInit::bbtDirClick() {
  {
    TfrmDir dialog(*this, frmData, frmData.counterSettings.dirwave);
    ui::PlaceDialog(*this, dialog);
    dialog.ShowModal();
  }
  edtDir->SetText(frmData.counterSettings.dirwave);
}

void TfrmInit::bbtDefaultClick() {
  edtName1a->SetText(kDefaultFamilyName);
  edtName1b->SetText(kDefaultGivenName);
  edtName2a->SetText(kDefaultFamilyReading);
  edtName2b->SetText(kDefaultGivenReading);
  edtName3->SetText(kDefaultNickname);
}

void TfrmInit::bbtOkClick() {
  CounterSettings& s = frmData.counterSettings;
  if (chkWave->Checked() && s.dirwave.empty() &&
      ui::MessageDlg(*this, kNoFolderQuestion, ui::MessageIcon::Warning, ui::MessageButtons::YesNo) !=
          ui::MessageResult::Yes)
    return;
  s.wave = chkWave->Checked() ? 1 : 0;
  s.usewave.clear();
  for (const ui::CheckBox* box : chkWaveN) s.usewave += box->Checked() ? '1' : '0';
  s.repl = chkRepl->Checked() ? 1 : 0;
  s.name = chkName->Checked() ? 1 : 0;
  s.rand = 0;
  if (chkRand->Checked()) s.rand = rbtRand1->Checked() ? 1 : rbtRand2->Checked() ? 2 : rbtRand3->Checked() ? 3 : 0;
  s.form = chkForm->Checked() ? 1 : 0;
  s.timer = updTimer->Position();
  s.delay = updDelay->Position();
  s.name1a = edtName1a->Text();
  s.name1b = edtName1b->Text();
  s.name2a = edtName2a->Text();
  s.name2b = edtName2b->Text();
  s.name3 = edtName3->Text();
  modalResult = ui::mrOk;
}

void TfrmInit::bbtCancelClick() { Close(); }
