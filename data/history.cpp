// Start history: filled in next.
#include "data/Untdata.h"
std::string TfrmData::StartHistoryPath() { return "STARTHUB"; }
void TfrmData::LoadStartHistory() {}
void TfrmData::RecordStart(platform::CTime, const std::tm&) {}
void TfrmData::SaveStartHistory() {}
bool TfrmData::FirstSetupPending() { return true; }
