// The game's archives: filled in next.
#include "data/Untdata.h"
bool TfrmData::ExtractImages() { return true; }
std::string TfrmData::GetVoiceWave(const char*, bool) { return std::string(); }
std::string TfrmData::ExtractVoice(const char*, bool) { return std::string(); }
