#pragma once
// The settings main window, opened when the program starts without its counter switch.
#include <memory>

#include "data/Untdata.h"
#include "ui/ui.h"

extern const char* const kSettingsCaption;

class TfrmMain : public ui::Form {
 public:
  TfrmMain();
  ~TfrmMain() override;

  ui::Button *btnOk, *btnCancel;

  void FormCreate();
  void FormDestroy();
  void btnOkClick();
  void btnCancelClick();

 private:
  std::unique_ptr<TfrmData> data_;
};

extern TfrmMain* frmMain;
