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

  ui::Bevel *bevDir, *bevWave, *bevCheck, *bevEdit;
  ui::Label* lblDir;
  ui::Edit* edtDir;
  ui::BitmapButton* bbtDir;
  ui::CheckBox* chkWave;
  ui::GroupBox* gbxWave;
  ui::CheckBox* chkWaveN[10];  // chkWave0 .. chkWave9: the voice of roster index n
  ui::CheckBox *chkRepl, *chkName, *chkRand;
  ui::GroupBox* gbxRand;
  ui::RadioButton *rbtRand1, *rbtRand2, *rbtRand3;
  ui::CheckBox* chkForm;
  ui::GroupBox* gbxName;
  ui::Label *lblName1a, *lblName2a, *lblName1b, *lblName3;
  ui::Edit *edtName1a, *edtName1b, *edtName2a, *edtName2b, *edtName3;
  ui::BitmapButton* bbtDefault;
  ui::Label *lblTimer, *lblDelay;
  ui::Edit *edtTimer, *edtDelay;
  ui::UpDown *updTimer, *updDelay;
  ui::BitmapButton *bbtOk, *bbtCancel;

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
