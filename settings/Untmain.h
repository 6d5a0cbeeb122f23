#pragma once
// The settings main window, opened when the program starts without its counter switch: the
// two characters, the statistics of the recorded starts and the menu to everything else.
#include <memory>
#include <string>

#include "data/Untdata.h"
#include "settings/shortcut.h"
#include "ui/ui.h"

extern const char* const kSettingsCaption;
extern const char* const kStartupLinkName;
extern const char* const kHomePage;
extern const char* const kVersionText;

// The About box: the program's title and version.
class TfrmVer : public ui::Form {
 public:
  explicit TfrmVer(ui::Form& owner);
  ui::Shape* shpVer;
  ui::Image* imgLogo;
  ui::Label *lblTitle, *lblName;
  ui::Button* btnOk;
  void btnOkClick();
};

class TfrmMain : public ui::Form {
 public:
  // Loads the settings and the start history into `data`; OK saves the settings from there.
  explicit TfrmMain(TfrmData& data);
  ~TfrmMain() override;

  TfrmData& frmData;

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
  void mnuStartupUserClick();
  void mnuStartupCommClick();
  void mnuStartupDelClick();

  // Startup registration: scope 0 is the current user's Startup folder, 1 the all-users one.
  void RegisterStartup(int scope, int other);
  void RegisterAtFirstSetup();
  void ConsolidateStartup();

  void RefreshCharacters();
  void FillCharacterLists();
  void BuildCharacterMenu();
  void ShowStatistics();

 private:
  void DetectStartup();
  bool StartupRegistered(int scope) const;
  bool StartupLinksAreOne() const;
  bool DeleteStartupLink(int scope);
  void FigureReleased(int32_t& setting, ui::MouseButton button, int x, int y, const ui::Image& image);
  ShortcutLibrary shortcuts_;
};

