#pragma once
// The profile window: the user pages through the ten characters of the roster, one walking
// figure beside her name, birthday with star sign, blood type, height, sizes and voice actor.
// Every opening starts at character 0; the window keeps nothing and writes no setting.
#include <cstdint>
#include <string>

#include "data/Untdata.h"
#include "data/roster.h"
#include "ui/ui.h"

extern const char* const kGirlCaption;

class TfrmGirl : public ui::Form {
 public:
  // Made with the window that opens it as owner, and placed over it.
  // The names follow the settings of `data`; the figure walks with its first chip slot.
  TfrmGirl(ui::Form& opener, TfrmData& data);

  TfrmData& frmData;

  ui::Image *imgBack = nullptr, *imgChar0 = nullptr;
  ui::Panel* pnlGirl = nullptr;
  ui::Label *lblName0 = nullptr, *lblName1 = nullptr, *lblBirth0 = nullptr, *lblBirth1 = nullptr;
  ui::Label *lblBlood0 = nullptr, *lblBlood1 = nullptr;
  ui::Label *lblHeight0 = nullptr, *lblHeight1 = nullptr, *lblSize0 = nullptr, *lblSize1 = nullptr;
  ui::Label *lblCV0 = nullptr, *lblCV1 = nullptr, *lblKumi0 = nullptr, *lblKumi1 = nullptr;
  ui::Button* btnClose = nullptr;
  ui::BitmapButton *bbtChar0 = nullptr, *bbtChar1 = nullptr;
  ui::PopupMenu* pumChar = nullptr;
  ui::Timer* timChip = nullptr;

  int32_t FIndex = 0;        // the character shown
  int32_t FDrawnIndex = -1;  // the character whose figure was drawn on the last change
  int32_t FChipStep = 0;     // the figure's place in its walking cycle

  void FormCreate();
  void FormShow();
  void btnCloseClick();
  void bbtChar0Click();
  void bbtChar1Click();
  void imgChar0MouseDown(ui::MouseButton button, int x, int y);
  void imgChar0MouseUp(ui::MouseButton button, int x, int y);
  void CharacterMenuClick(ui::MenuItem* item);
  void timChipTimer();

  void ShowFigure();
  void ShowProfile();
  // The value labels filled from one roster row.
  void ShowProfileOf(const CharacterProfile& row);

 private:
  void ShowCharacter(int32_t index);
};
