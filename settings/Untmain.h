#pragma once
// The settings main window, opened when the program starts without its counter switch: the
// two characters, the statistics of the recorded starts and the menu to everything else.
#include <memory>
#include <string>

#include "data/Untdata.h"
#include "ui/ui.h"

extern const char* const kSettingsCaption;
extern const char* const kStartupLinkName;
extern const char* const kHomePage;

class TfrmMain : public ui::Form {
 public:
  TfrmMain();
  ~TfrmMain() override;

  ui::Image *imgBack, *imgChar0, *imgChar1;
  ui::ComboBox *cbxChar0, *cbxChar1;
  ui::Panel* pnlStat;
  ui::Label *lblSC1, *lblSC2, *lblSC3, *lblSC4, *lblSC5, *lblSC6;
  ui::Label *lblInit, *lblLast, *lblDiffDay, *lblTotal, *lblDayAve, *lblDayMax;
  ui::Button *btnOk, *btnCancel;
  ui::Timer* timChip;
  ui::MainMenu* mnuMain;
  ui::MenuItem *mnuFunc, *mnuConfig, *mnuGirl, *mnuStartup, *mnuStartupUser, *mnuStartupComm, *mnuStartupDel;
  ui::MenuItem *mnuHelp, *mnuReadme, *mnuWeb, *mnuAbout;
  ui::PopupMenu* pumChar;

  int32_t FShownChar0 = -1, FShownChar1 = -1;
  int32_t FMenuSide = 0;
  int32_t FChipStep0 = 0, FChipStep1 = 0;
  std::string FStartupFolder[2], FStartupLink[2];
  ui::MenuItem* FStartupItem[2] = {};

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void btnOkClick();
  void btnCancelClick();
  void cbxChar0Change();
  void cbxChar1Change();
  void imgChar0MouseDown(ui::MouseButton button, int x, int y);
  void imgChar1MouseDown(ui::MouseButton button, int x, int y);
  void imgChar0MouseUp(ui::MouseButton button, int x, int y);
  void imgChar1MouseUp(ui::MouseButton button, int x, int y);
  void CharacterMenuClick(ui::MenuItem* item);
  void timChipTimer();
  void mnuConfigClick();
  void mnuGirlClick();
  void mnuReadmeClick();
  void mnuWebClick();
  void mnuAboutClick();

  void RefreshCharacters();
  void FillCharacterLists();
  void BuildCharacterMenu();
  void ShowStatistics();

 private:
  void DetectStartup();
  void FigureReleased(int32_t& setting, ui::MouseButton button, int x, int y, const ui::Image& image);
  std::unique_ptr<TfrmData> data_;
};

extern TfrmMain* frmMain;
