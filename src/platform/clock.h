// The run's clock. QARO_TODAY=YYYYMMDD fixes today's date (tests, reproducible runs).
#pragma once

#include "platform/value.h"

namespace qaro {

Date today();
int seconds_since_midnight();   // local time
std::string time_text();        // "hh:mm:ss"

}  // namespace qaro
