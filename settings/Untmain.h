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
  ui::Shape* shpVer = nullptr;
  ui::Image* imgLogo = nullptr;
  ui::Label *lblTitle = nullptr, *lblName = nullptr;
  ui::Button* btnOk = nullptr;
  void btnOkClick();
};

class TfrmMain : public ui::Form {
 public:
  // Loads the settings and the start history into `data`; OK saves the settings from there.
  explicit TfrmMain(TfrmData& data);
  ~TfrmMain() override;

  TfrmData& frmData;

  ui::Image *imgBack = nullptr, *imgChar0 = nullptr, *imgChar1 = nullptr;
  ui::ComboBox *cbxChar0 = nullptr, *cbxChar1 = nullptr;
  ui::Panel* pnlStat = nullptr;
  ui::Label *lblSC1 = nullptr, *lblSC2 = nullptr, *lblSC3 = nullptr, *lblSC4 = nullptr, *lblSC5 = nullptr;
  ui::Label *lblSC6 = nullptr;
  ui::Label *lblInit = nullptr, *lblLast = nullptr, *lblDiffDay = nullptr, *lblTotal = nullptr;
  ui::Label *lblDayAve = nullptr, *lblDayMax = nullptr;
  ui::Button *btnOk = nullptr, *btnCancel = nullptr;
  ui::Timer* timChip = nullptr;
  ui::MainMenu* mnuMain = nullptr;
  ui::MenuItem *mnuFunc = nullptr, *mnuConfig = nullptr, *mnuGirl = nullptr, *mnuStartup = nullptr;
  ui::MenuItem *mnuStartupUser = nullptr, *mnuStartupComm = nullptr, *mnuStartupDel = nullptr;
  ui::MenuItem *mnuHelp = nullptr, *mnuReadme = nullptr, *mnuWeb = nullptr, *mnuAbout = nullptr;
  ui::PopupMenu* pumChar = nullptr;

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

