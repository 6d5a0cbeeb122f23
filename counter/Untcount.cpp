#include "counter/Untcount.h"

#include "data/sprites.h"
#include "platform/files.h"

const char* const kCounterCaption = "Marivel2起動カウンターKORVEN";

namespace {

constexpr ui::Color kDotColor = 15854079;  // red 255, green 234, blue 241
constexpr ui::Color kDotOutline = ui::Rgb(240, 150, 180);
constexpr int kCounterWidth = 600, kCounterHeight = 176;

ui::Font BubbleFont(ui::Color color = ui::kBlack) { return ui::FontOfPixels(16, true, color); }

ui::Design BubbleLabel(ui::Label*& member, const char* name, int left, int top, const char* caption,
                       ui::Color color = ui::kBlack) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .height = 16, .caption = caption,
                           .font = BubbleFont(color), .useFont = true, .autoSize = true});
}

ui::Design Dot(ui::Shape*& member, const char* name, int left, int top, int size) {
  return ui::Bind(member, {.name = name, .left = left, .top = top, .width = size, .height = size, .color = kDotColor});
}

}  // namespace

TfrmCount::TfrmCount(TfrmData& data) : frmData(data) {
  caption = kCounterCaption;
  borderStyle = ui::BorderStyle::Single;
  minimizeBox = true;
  maximizeBox = false;
  stayOnTop = true;
  position = ui::FormPosition::ScreenCenter;
  font = ui::FontOfPixels(12);
  SetClientSize(kCounterWidth, kCounterHeight);
  Build({
      // Back to front.
      ui::Bind(imgCount, {.name = "imgCount", .width = 600, .height = 176, .picture = "COUNT_BACK", .autoSize = true}),
      ui::Bind(imgChar0, {.name = "imgChar0", .left = -7, .width = 120, .height = 176}),
      ui::Bind(imgChar1, {.name = "imgChar1", .left = 487, .width = 120, .height = 176}),
      ui::Bind(imgMsg1, {.name = "imgMsg1", .left = 171, .top = 108, .width = 325, .height = 56, .picture = "BUBBLE_LOWER"}),
      Dot(shpChar1B, "shpChar1B", 488, 121, 13),
      ui::Bind(imgMsg0, {.name = "imgMsg0", .left = 104, .top = 12, .width = 390, .height = 80, .picture = "BUBBLE_UPPER"}),
      Dot(shpChar0B, "shpChar0B", 98, 68, 13),
      BubbleLabel(lblChar0A, "lblChar0A", 124, 18, "lblChar0A"),
      BubbleLabel(lblChar0B, "lblChar0B", 124, 42, "lblChar0B"),
      BubbleLabel(lblChar0C, "lblChar0C", 124, 66, "lblChar0C"),
      BubbleLabel(lblChar1A, "lblChar1A", 187, 115, "通算で"),
      BubbleLabel(lblCount, "lblCount", 243, 115, "99999", ui::kRed),
      BubbleLabel(lblChar1B, "lblChar1B", 295, 115, "回目の起動です。"),
      BubbleLabel(lblChar1C, "lblChar1C", 187, 139, "前回は"),
      BubbleLabel(lblLast, "lblLast", 243, 139, "23時間59分", ui::kGray),
      BubbleLabel(lblChar1D, "lblChar1D", 335, 139, "前に起動されました。"),
      Dot(shpChar0C, "shpChar0C", 94, 72, 9),
      Dot(shpChar1C, "shpChar1C", 496, 121, 9),
      ui::Bind(mplWave, {.name = "mplWave"}),
      ui::Bind(timTimer, {.name = "timTimer", .enabled = true, .interval = 100}),
      ui::Bind(timNext, {.name = "timNext", .enabled = false, .interval = 500}),
      ui::Bind(timDelay, {.name = "timDelay", .enabled = false, .interval = 0}),
  });
  for (ui::Shape* dot : {shpChar1B, shpChar0B, shpChar0C, shpChar1C}) dot->penColor = kDotOutline;

  onShow = [this] { FormShow(); };
  mplWave->onNotify = [this](ui::NotifyValue value) { mplWaveNotify(value); };
  timTimer->onTimer = [this] { timTimerTimer(); };
  timNext->onTimer = [this] { timNextTimer(); };
  timDelay->onTimer = [this] { timDelayTimer(); };

  FormCreate();
}

TfrmCount::~TfrmCount() { FormDestroy(); }

void TfrmCount::TakeStartTime() {
  startTime = platform::CurrentTime();
  startTm = platform::LocalTime(startTime);
}

void TfrmCount::FormCreate() {
  ui::Application::Instance().SetIcon(frmData.imgIcon->iconResource);

  TakeStartTime();
  frmData.LoadSettings();
  frmData.LoadStartHistory();
  if (frmData.counterSettings.form != 0) {
    SetBorderStyle(ui::BorderStyle::None);
    SetClientSize(imgCount->Width(), imgCount->Height());
  }
  ChooseCharacterPair();
  ComposeCounterBubble();
  ChooseVoiceLine();
  // The sheets are taken out of the archive in the table's order, as always, but only as far as
  // the two figures need before they are drawn; the rest follow once the window is up
  // (FinishStart). Nothing reads a sheet before the figures are drawn, and the window's
  // cleanup deletes them all at the end.
  sheetsPending_ = frmData.ExtractImages(FigureSheets());
  frmData.DrawCharacters(0, imgChar0, imgCount, imgChar1);
  // Without a delay the window shows as soon as the message loop starts, and the Windows sounds
  // are updated once it is up; with a delay they are updated now, so that the exit sound does
  // not point for seconds to a WAV file of an earlier run that the start has just deleted.
  soundsPending_ = frmData.counterSettings.delay == 0;
  if (!soundsPending_) {
    RemoveStaleClips();
    frmData.ReplaceSystemSounds(true);
  }
  frmData.RecordStart(startTime, startTm);
  frmData.SaveStartHistory();

  if (frmData.counterSettings.delay == 0) {
    ui::Application& app = ui::Application::Instance();
    app.showMainForm = true;
  } else {
    timDelay->SetInterval(frmData.counterSettings.delay * 1000);
    timDelay->SetEnabled(true);
  }
}

void TfrmCount::FormShow() {
  ui::Application& app = ui::Application::Instance();
  app.HideTaskbarWindow();
  // A Startup shortcut set to "minimised" would leave the counter iconic. Only now is there a
  // window, the application's main window, to restore.
  app.Restore();
  StartVoices();
}

// Runs once, when the window has been shown: a user sees the counter before any clip is
// decoded, and the first clip starts at once. The exit sound's clip, whose decoding nobody waits
// for, is prepared later (FinishStart), unless both requests could rebuild the same WAV file:
// then the exit sound comes first, as it always did, since the playing file must not be rebuilt
// under the player and the file left at the end must be the first clip's.
void TfrmCount::StartVoices() {
  if (voicesStarted_) return;
  voicesStarted_ = true;
  RemoveStaleClips();
  if (soundsPending_) {
    exitClip_ = frmData.ExitSoundClip();
    if (VoiceWavesOverlap(exitClip_, ChosenClip(0))) {
      soundsPending_ = false;
      frmData.ReplaceSystemSounds(true, exitClip_);
    }
  }
  PlayClip(ChosenClip(0));
}

// The work of the start that nobody waits for, done at the first tick of timTimer, when the
// window is up and painted (or, with a delay, while it waits hidden): the Windows sounds and the
// sheets the figures did not need. A window closed before that tick does it on closing.
void TfrmCount::FinishStart() {
  RemoveStaleClips();
  if (soundsPending_) {
    soundsPending_ = false;
    frmData.ReplaceSystemSounds(true, exitClip_ ? exitClip_ : frmData.ExitSoundClip());
  }
  if (sheetsPending_) {
    sheetsPending_ = false;
    frmData.ExtractImages();
  }
}

// The clips (OGG and WAV files) that earlier runs left in the work folder, removed once, before
// this run makes its first: before the Windows sounds when the window waits for a delay,
// otherwise once the window is up (deleting a handful of files under Wine takes milliseconds
// that nobody needs to wait for before the window shows).
void TfrmCount::RemoveStaleClips() {
  if (staleClipsRemoved_) return;
  staleClipsRemoved_ = true;
  platform::RemoveMatching(".\\*.ogg");
  platform::RemoveMatching(".\\*.wav");
}

// The sheets of the two figures as they are drawn now: each character's sheet of the variant
// that its chip state gives.
std::vector<std::string> TfrmCount::FigureSheets() const {
  std::vector<std::string> sheets;
  const int characters[2] = {frmData.counterSettings.char0, frmData.counterSettings.char1};
  for (int slot = 0; slot < 2; ++slot) {
    const int c = characters[slot], v = frmData.ChipState[slot].variant;
    if (c >= 0 && c < kRosterSize && v >= 0 && v < kVariants && SpriteFiles[c][v]) sheets.push_back(SpriteFiles[c][v]);
  }
  return sheets;
}

void TfrmCount::FormDestroy() {
  FinishStart();
  mplWave->Close();
  platform::RemoveMatching(".\\*.TGA");
  platform::RemoveMatching(".\\*.ogg");
  platform::RemoveMatching(".\\*.png");
  // The WAV files stay: the replaced Windows exit sound may point at one of them.
}

void TfrmCount::timDelayTimer() {
  TakeStartTime();
  timDelay->SetEnabled(false);
  Show();  // FormShow starts the voice sequence
}

void TfrmCount::mplWaveNotify(ui::NotifyValue value) {
  if (value != ui::NotifyValue::Successful) {
    // A clip the device gave up on would otherwise keep the window open for good; a
    // superseded clip was replaced on purpose and needs nothing.
    if (value != ui::NotifyValue::Superseded) voiceStep = 6;
    return;
  }
  if (voiceStep > 5)
    voiceStep = 6;
  else
    timNext->SetEnabled(true);
}

void TfrmCount::timNextTimer() {
  timNext->SetEnabled(false);
  if (voiceStep > 4) {
    voiceStep = 6;
    return;
  }
  PlayClip(ChosenClip(voiceStep));
}

void TfrmCount::timTimerTimer() {
  FinishStart();
  if (voiceStep < 6) return;
  const auto elapsed = static_cast<int64_t>(platform::TimeDifference(platform::CurrentTime(), startTime));
  if (elapsed >= frmData.counterSettings.timer) Close();
}

void TfrmCount::PlayClip(const char* clipName) {
  if (frmData.counterSettings.wave != 0 && frmData.VoiceEnabled()) {
    mplWave->Close();
    mplWave->fileName = frmData.GetVoiceWave(clipName, preferNamelessVoice);
    if (platform::FileExists(mplWave->fileName)) {
      try {
        mplWave->Open();
        mplWave->Play();
        ++voiceStep;
        return;
      } catch (const ui::Error&) {
        // A clip the device cannot open or play ends the sequence like a missing one.
        mplWave->Close();
      }
    }
  }
  voiceStep = 6;
}
