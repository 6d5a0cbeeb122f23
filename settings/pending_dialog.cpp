#include "settings/pending_dialog.h"

TfrmPending::TfrmPending(ui::Form& owner, const std::string& title) {
  ownerForm = &owner;
  caption = title;
  borderStyle = ui::BorderStyle::Dialog;
  font = ui::FontOfPixels(12);
  SetClientSize(240, 88);
  using ui::Bind;
  Build({
      Bind(lblText, {.name = "lblText", .left = 16, .top = 16, .caption = "この画面は準備中です。", .autoSize = true}),
      Bind(btnOk, {.name = "btnOk", .left = 83, .top = 52, .width = 75, .height = 25, .caption = "OK",
                   .isDefault = true, .isCancel = true, .modalResult = ui::mrOk}),
  });
}

int ShowPendingDialog(ui::Form& owner, const std::string& title) {
  TfrmPending dialog(owner, title);
  ui::PlaceDialog(owner, dialog);
  return dialog.ShowModal();
}
