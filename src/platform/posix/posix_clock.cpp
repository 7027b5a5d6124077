#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/clock.h"

namespace qaro {

Date today() {
    if (const char* fixed = std::getenv("QARO_TODAY")) {
        Date d = Date::from_dtos(fixed);
        if (!d.empty()) return d;
    }
    std::time_t now = std::time(nullptr);
    struct tm tmv;
    localtime_r(&now, &tmv);
    return Date::from_ymd(tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday);
}

int seconds_since_midnight() {
    std::time_t now = std::time(nullptr);
    struct tm tmv;
    localtime_r(&now, &tmv);
    return tmv.tm_hour * 3600 + tmv.tm_min * 60 + tmv.tm_sec;
}

std::string time_text() {
    int s = seconds_since_midnight();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return buf;
}

}  // namespace qaro
