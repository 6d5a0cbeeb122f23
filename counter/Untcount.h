#pragma once
// The counter window: shown for a few seconds at logon, then closes itself.
#include <ctime>
#include <string>
#include <vector>

#include "data/Untdata.h"
#include "platform/clock.h"
#include "ui/ui.h"

extern const char* const kCounterCaption;

class TfrmCount : public ui::Form {
 public:
  // Loads the settings and the start history into `data` and counts this start there.
  explicit TfrmCount(TfrmData& data);
  ~TfrmCount() override;

  TfrmData& frmData;
  // The run's own state.
  int32_t voiceStep = 0;  // 0 not started, 1..5 clips started, 6 sequence over
  bool preferNamelessVoice = false;
  platform::CTime startTime = 0;
  std::tm startTm{};
  int chosenLine = 0;

  ui::Image *imgCount = nullptr, *imgChar0 = nullptr, *imgChar1 = nullptr, *imgMsg1 = nullptr, *imgMsg0 = nullptr;
  ui::Shape *shpChar1B = nullptr, *shpChar0B = nullptr, *shpChar0C = nullptr, *shpChar1C = nullptr;
  ui::Label *lblChar0A = nullptr, *lblChar0B = nullptr, *lblChar0C = nullptr;
  ui::Label *lblChar1A = nullptr, *lblCount = nullptr, *lblChar1B = nullptr, *lblChar1C = nullptr;
  ui::Label *lblLast = nullptr, *lblChar1D = nullptr;
  ui::MediaPlayer* mplWave = nullptr;
  ui::Timer *timTimer = nullptr, *timNext = nullptr, *timDelay = nullptr;

  void FormCreate();
  void FormShow();
  void FormDestroy();
  void timTimerTimer();
  void timDelayTimer();
  void timNextTimer();
  void mplWaveNotify(ui::NotifyValue value);

  // Operations of the run that compose what the window says.
  void ChooseCharacterPair();
  void ComposeCounterBubble();
  void ChooseVoiceLine();
  void PlayClip(const char* clipName);

 private:
  // The phases of the count message; each that fills line 2 returns true.
  bool ComposeSpecialDay();
  bool ComposeBirthday();
  void ComposeCountLine();
  bool ComposeAnniversary();
  bool ComposeElapsedTime();
  void HideSecondLine();
  void TakeStartTime();
  void StartVoices();
  void FinishStart();
  void RemoveStaleClips();
  std::vector<std::string> FigureSheets() const;
  const char* ChosenClip(int slot) const;
  bool voicesStarted_ = false;
  bool soundsPending_ = false;  // the Windows sounds wait for the window
  bool sheetsPending_ = false;  // so do the sheets the figures do not need
  bool staleClipsRemoved_ = false;
  const char* exitClip_ = nullptr;
};
