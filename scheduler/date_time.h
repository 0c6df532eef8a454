// One reading of the local clock in whole seconds. The platform takes the reading;
// everything that decides works on this plain value so it can be tested without a clock.
#pragma once

#include <string>

namespace velmora {

struct DateTime {
    int year = 0;
    int month = 0;   // 1-12
    int day = 0;     // 1-31
    int hour = 0;    // 0-23
    int minute = 0;  // 0-59
    int second = 0;  // 0-59
};

inline bool operator==(const DateTime& a, const DateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// Decimal digits of `value` with "0"s in front up to `minDigits` digits ("07", "2014",
// "234"). Only clock fields and remaining seconds come here, never a negative number. Written
// by hand so that no locale or C runtime (msvcrt's wide printf under mingw) has a say.
std::wstring ZeroPadded(unsigned long long value, int minDigits);

// The clock reading as "hh:mm:ss".
std::wstring TimeOfDayText(const DateTime& moment);

}  // namespace velmora
