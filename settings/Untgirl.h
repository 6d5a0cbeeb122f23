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

  ui::Image *imgBack, *imgChar0;
  ui::Panel* pnlGirl;
  ui::Label *lblName0, *lblName1, *lblBirth0, *lblBirth1, *lblBlood0, *lblBlood1;
  ui::Label *lblHeight0, *lblHeight1, *lblSize0, *lblSize1, *lblCV0, *lblCV1, *lblKumi0, *lblKumi1;
  ui::Button* btnClose;
  ui::BitmapButton *bbtChar0, *bbtChar1;
  ui::PopupMenu* pumChar;
  ui::Timer* timChip;

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
