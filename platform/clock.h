#pragma once
// The current time and its local calendar form, as the C runtime gives them.
#include <cstdint>
#include <ctime>

namespace platform {

using CTime = int32_t;  // seconds since 1970-01-01 UTC

CTime CurrentTime();
std::tm LocalTime(CTime time);
double TimeDifference(CTime later, CTime earlier);

}  // namespace platform
