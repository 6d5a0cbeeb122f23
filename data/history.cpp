// The start history store: which file holds it, loading, counting a start, saving.
#include "data/history.h"

#include <cstring>

#include "data/Untdata.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace {

// Written only by the integrated counter environment; this program never creates it.
const char kIntegrationKey[] = "\\Software\\Zorve\\STARTHUB";
const char kDefaultHistoryFile[] = "STARTHUB";

// True when the integrated counter environment has taken this program in.
bool Integrated(const platform::RegistryKey& key) {
  int32_t integrate = 0;
  return key.IsOpen() && key.ReadInteger("integrate", integrate) && integrate == 1;
}

StartHistory NewHistory() {
  StartHistory history{};
  history.firstStart = platform::CurrentTime();
  history.startNumber = 1;
  return history;
}

bool SameCalendarDay(const std::tm& a, const std::tm& b) {
  return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday;
}

}  // namespace

std::string TfrmData::StartHistoryPath() {
  const platform::RegistryKey key = platform::RegistryKey::ForReading(kIntegrationKey);
  std::string sharedFile;
  if (Integrated(key) && key.ReadText("starthubfile", sharedFile)) return sharedFile;
  return kDefaultHistoryFile;
}

namespace {

// The block a history file holds; false for no file or a short one (no history). A longer
// file carries the block at its start.
bool ReadHistory(const std::string& path, StartHistory& history) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes) || bytes.size() < sizeof history) return false;
  std::memcpy(&history, bytes.data(), sizeof history);
  return true;
}

std::string BytesOf(const StartHistory& history) {
  return std::string(reinterpret_cast<const char*>(&history), sizeof history);
}

}  // namespace

void TfrmData::LoadStartHistory() {
  startHistory = NewHistory();
  ReadHistory(StartHistoryPath(), startHistory);
  loadedHistory_ = BytesOf(startHistory);
  recordedStart_.reset();
}

void TfrmData::RecordStart(platform::CTime time, const std::tm& local) {
  StartHistory& history = startHistory;
  ++history.startNumber;
  const bool sameDay =
      history.lastStart > 0 && SameCalendarDay(platform::LocalTime(history.lastStart), local);
  history.startsOnLastDay = sameDay ? history.startsOnLastDay + 1 : 1;
  if (history.startsOnLastDay > history.maxStartsPerDay)
    history.maxStartsPerDay = history.startsOnLastDay;
  history.lastStart = time;
  recordedStart_ = std::make_pair(time, local);
}

void TfrmData::SaveStartHistory() {
  // The save runs at every logon, just when power cuts and forced shutdowns are likeliest. A
  // file torn in the middle of an in-place rewrite would load as no history at all and the
  // count would start from 1 again, so the new block replaces the old one in a single step.
  // Only where that step is impossible (a folder the user may not create files in, or a file
  // that another program holds open) is the file rewritten in place: not counting the start at
  // all would lose more.
  //
  // Counters started together (two shortcuts, users sharing the history through the integrated
  // environment, a slow logon) would each add their start to the block they loaded, and the
  // last save would win. The file is read again and written under a lock that every process
  // names after the file: a block that another counter changed since the load gets this start
  // added to it. A lock not had within 2 s is gone without: a hung holder never stops a start.
  const std::string path = StartHistoryPath();
  const platform::PathLock lock(path, 2000);
  StartHistory current{};
  if (recordedStart_ && ReadHistory(path, current) && BytesOf(current) != loadedHistory_) {
    startHistory = current;
    const auto [time, local] = *recordedStart_;
    RecordStart(time, local);
  }
  platform::ReplaceWholeFile(path, BytesOf(startHistory));  // a failed save keeps the old file
  loadedHistory_ = BytesOf(startHistory);
}

bool TfrmData::FirstSetupPending() {
  const platform::RegistryKey settings = platform::RegistryKey::ForReading(kSettingsKey);
  if (settings.IsOpen() && settings.ValueExists("char0")) return false;
  return !Integrated(platform::RegistryKey::ForReading(kIntegrationKey));
}
