// SystemClock and GeneralDateTimeText over the user's locale settings.
#include "platform/clock.h"

#include <windows.h>

#include <cwchar>

namespace velmora {

namespace {

SYSTEMTIME ToSystemTime(const DateTime& moment) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(moment.year);
    st.wMonth = static_cast<WORD>(moment.month);
    st.wDay = static_cast<WORD>(moment.day);
    st.wHour = static_cast<WORD>(moment.hour);
    st.wMinute = static_cast<WORD>(moment.minute);
    st.wSecond = static_cast<WORD>(moment.second);
    return st;
}

}  // namespace

DateTime SystemClock::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring GeneralDateTimeText(const DateTime& moment) {
    SYSTEMTIME st = ToSystemTime(moment);
    wchar_t date[128] = {};
    wchar_t time[128] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128) == 0) {
        // Only a reading that is no calendar date gets here (e.g. a test's 31 February).
        swprintf(date, 128, L"%04d-%02d-%02d", moment.year, moment.month, moment.day);
    }
    if (moment.hour == 0 && moment.minute == 0 && moment.second == 0) {
        return date;
    }
    if (GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, 128) == 0) {
        swprintf(time, 128, L"%02d:%02d:%02d", moment.hour, moment.minute, moment.second);
    }
    return std::wstring(date) + L" " + time;
}

}  // namespace velmora
