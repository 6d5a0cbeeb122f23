// The wave media player over MCI, on Wine's null sound device.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>

#include "platform/files.h"
#include "ui/ui.h"

namespace {

// A silent 16-bit mono PCM wave of the given length.
std::string SilentWave(int milliseconds) {
  const uint32_t rate = 22050, dataBytes = rate * 2 * milliseconds / 1000;
  std::string wav = "RIFF????WAVEfmt ";
  auto put32 = [&wav](uint32_t v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
  auto put16 = [&wav](uint16_t v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
  put32(16);
  put16(1);
  put16(1);
  put32(rate);
  put32(rate * 2);
  put16(2);
  put16(16);
  wav += "data";
  put32(dataBytes);
  wav.append(dataBytes, '\0');
  const uint32_t riffSize = static_cast<uint32_t>(wav.size() - 8);
  std::memcpy(&wav[4], &riffSize, 4);
  return wav;
}

// Pumps messages until a notice arrives or the time is up.
std::optional<ui::NotifyValue> WaitNotice(ui::MediaPlayer& player, DWORD ms) {
  std::optional<ui::NotifyValue> notice;
  player.onNotify = [&notice](ui::NotifyValue value) { notice = value; };
  const DWORD start = GetTickCount();
  MSG msg;
  while (!notice && GetTickCount() - start < ms) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  return notice;
}

TEST(MediaWine, PlaysAWaveAndReportsSuccess) {
  ASSERT_TRUE(platform::WriteWholeFile("m2k-test.wav", SilentWave(400)));
  ui::MediaPlayer player(nullptr, "mplWave");
  player.fileName = "m2k-test.wav";
  player.Open();
  player.Play();
  const auto notice = WaitNotice(player, 5000);
  ASSERT_TRUE(notice.has_value()) << "no completion notice";
  EXPECT_EQ(ui::NotifyValue::Successful, *notice);
  player.Close();
  platform::RemoveFile("m2k-test.wav");
}

TEST(MediaWine, UnplayableFilesRaiseErrors) {
  ASSERT_TRUE(platform::WriteWholeFile("m2k-broken.wav", "not a wave at all"));
  for (const char* name : {"m2k-missing.wav", "m2k-broken.wav"}) {
    SCOPED_TRACE(name);
    ui::MediaPlayer player(nullptr, "mplWave");
    player.fileName = name;
    EXPECT_THROW(player.Open(), ui::Error);
    EXPECT_FALSE(player.IsOpen());
    player.Close();  // closing a player that never opened does nothing
  }
  platform::RemoveFile("m2k-broken.wav");
}

}  // namespace
