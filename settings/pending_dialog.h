#pragma once
// A plain modal dialog that stands where a window still to come will open (the detailed
// settings): titled as that window, with an OK button.
#include <string>

#include "ui/ui.h"

class TfrmPending : public ui::Form {
 public:
  TfrmPending(ui::Form& owner, const std::string& title);
  ui::Label* lblText;
  ui::Button* btnOk;
};

int ShowPendingDialog(ui::Form& owner, const std::string& title);
