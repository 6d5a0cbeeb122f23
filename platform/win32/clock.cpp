#include "platform/clock.h"

#include <ctime>

namespace platform {

CTime CurrentTime() { return static_cast<CTime>(std::time(nullptr)); }

std::tm LocalTime(CTime time) {
  const std::time_t wide = time;
  std::tm local{};
  localtime_s(&local, &wide);
  return local;
}

double TimeDifference(CTime later, CTime earlier) {
  return std::difftime(static_cast<std::time_t>(later), static_cast<std::time_t>(earlier));
}

}  // namespace platform
