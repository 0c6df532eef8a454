// Plain text forms of a clock reading, shared by the tick, the start-up preset and the
// capture file name.
#include "scheduler/date_time.h"

namespace velmora {

std::wstring ZeroPadded(long long value, int minDigits) {
    // Work on the magnitude as unsigned so that the most negative value has no overflow.
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (static_cast<int>(digits.size()) < minDigits) {
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), L'0');
    }
    if (value < 0) {
        digits.insert(digits.begin(), L'-');
    }
    return digits;
}

std::wstring TimeOfDayText(const DateTime& moment) {
    return ZeroPadded(moment.hour, 2) + L":" + ZeroPadded(moment.minute, 2) + L":" +
           ZeroPadded(moment.second, 2);
}

}  // namespace velmora
