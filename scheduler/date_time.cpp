// Plain text forms of a clock reading, shared by the tick, the start-up preset and the
// capture file name.
#include "scheduler/date_time.h"

namespace velmora {

std::wstring ZeroPadded(unsigned long long value, int minDigits) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
        value /= 10;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < minDigits) {
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), L'0');
    }
    return digits;
}

std::wstring TimeOfDayText(const DateTime& moment) {
    return ZeroPadded(moment.hour, 2) + L":" + ZeroPadded(moment.minute, 2) + L":" +
           ZeroPadded(moment.second, 2);
}

}  // namespace velmora
