#pragma once
// The detailed settings dialog: every setting but the two characters (game folder, voices,
// sound replacement, name style, random choice, border, times, the protagonist's names). OK
// copies the controls into the settings in memory; the settings window's OK saves them.
#include "data/Untdata.h"
#include "ui/ui.h"

class TfrmInit : public ui::Form {
 public:
  // Shows the settings of `data`; OK writes them back there.
  TfrmInit(ui::Form& owner, TfrmData& data);

  TfrmData& frmData;

  ui::Bevel *bevDir = nullptr, *bevWave = nullptr, *bevCheck = nullptr, *bevEdit = nullptr;
  ui::Label* lblDir = nullptr;
  ui::Edit* edtDir = nullptr;
  ui::BitmapButton* bbtDir = nullptr;
  ui::CheckBox* chkWave = nullptr;
  ui::GroupBox* gbxWave = nullptr;
  ui::CheckBox* chkWaveN[10] = {};  // chkWave0 .. chkWave9: the voice of roster index n
  ui::CheckBox *chkRepl = nullptr, *chkName = nullptr, *chkRand = nullptr;
  ui::GroupBox* gbxRand = nullptr;
  ui::RadioButton *rbtRand1 = nullptr, *rbtRand2 = nullptr, *rbtRand3 = nullptr;
  ui::CheckBox* chkForm = nullptr;
  ui::GroupBox* gbxName = nullptr;
  ui::Label *lblName1a = nullptr, *lblName2a = nullptr, *lblName1b = nullptr, *lblName3 = nullptr;
  ui::Edit *edtName1a = nullptr, *edtName1b = nullptr, *edtName2a = nullptr, *edtName2b = nullptr, *edtName3 = nullptr;
  ui::BitmapButton* bbtDefault = nullptr;
  ui::Label *lblTimer = nullptr, *lblDelay = nullptr;
  ui::Edit *edtTimer = nullptr, *edtDelay = nullptr;
  ui::UpDown *updTimer = nullptr, *updDelay = nullptr;
  ui::BitmapButton *bbtOk = nullptr, *bbtCancel = nullptr;

  void FormCreate();
  void chkWaveClick();
  void chkRandClick();
  void chkNameClick();
  void bbtDirClick();
  void bbtDefaultClick();
  void bbtOkClick();
  void bbtCancelClick();

  void SetCharacterCaptions();
  void UpdateControlStates();
};

extern const char* const kInitCaption;
