// A virtual clock: native tests decide what time it is.
#include "platform/clock.h"
#include "platform/native/testing.h"

namespace platform {
namespace {
int64_t nowMs = 1796083200000LL;  // 2026-12-01 00:00:00 UTC
}

CTime CurrentTime() {
  int64_t seconds = nowMs / 1000;
  if (nowMs < 0 && nowMs % 1000) --seconds;
  return static_cast<CTime>(seconds);
}

std::tm LocalTime(CTime time) {
  const std::time_t wide = time;
  std::tm local{};
  localtime_r(&wide, &local);
  return local;
}

double TimeDifference(CTime later, CTime earlier) {
  return static_cast<double>(later) - static_cast<double>(earlier);
}

namespace testing {
void SetClockMilliseconds(int64_t ms) { nowMs = ms; }
int64_t ClockMilliseconds() { return nowMs; }
void AdvanceClock(int64_t ms) { nowMs += ms; }
}  // namespace testing
}  // namespace platform
