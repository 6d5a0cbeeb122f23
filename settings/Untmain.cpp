#include "settings/Untmain.h"

TfrmMain* frmMain = nullptr;

const char* const kSettingsCaption = "Marivel2起動カウンターKORVENの設定";

namespace {

const char kGameFilesMissing[] =
    "ゲームのシステムファイルが見つかりません。\n"
    "ゲームが標準インストールされていないか、\n"
    "正しいゲームフォルダが指定されていません。";

std::vector<ui::Design> MainDesign() {
  using ui::Kind;
  return {
      {.kind = Kind::Button, .name = "btnOk", .left = 128, .top = 288, .width = 75, .height = 25, .caption = "OK", .isDefault = true},
      {.kind = Kind::Button, .name = "btnCancel", .left = 208, .top = 288, .width = 75, .height = 25, .caption = "キャンセル", .isCancel = true},
  };
}

}  // namespace

TfrmMain::TfrmMain() {
  frmMain = this;
  caption = kSettingsCaption;
  borderStyle = ui::BorderStyle::Single;
  minimizeBox = true;
  maximizeBox = false;
  position = ui::FormPosition::ScreenCenter;
  font = ui::FontOfPixels(12);
  SetClientSize(292, 320);
  Build(MainDesign());
  btnOk = Find<ui::Button>("btnOk");
  btnCancel = Find<ui::Button>("btnCancel");
  btnOk->onClick = [this] { btnOkClick(); };
  btnCancel->onClick = [this] { btnCancelClick(); };
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FormDestroy();
  frmMain = nullptr;
}

void TfrmMain::FormCreate() {
  data_ = std::make_unique<TfrmData>();
  frmData = data_.get();
  ui::Application::Instance().SetIcon(frmData->imgIcon->iconResource);
  frmData->LoadSettings();
}

void TfrmMain::FormDestroy() {
  frmData = nullptr;
  data_.reset();
}

void TfrmMain::btnOkClick() {
  if (!frmData->GameFilesPresent()) {
    ui::MessageDlg(*this, kGameFilesMissing, ui::MessageIcon::Error, ui::MessageButtons::Ok);
    return;
  }
  frmData->SaveSettings();
  Close();
}

void TfrmMain::btnCancelClick() { Close(); }
