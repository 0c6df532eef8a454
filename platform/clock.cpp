// SystemClock and GeneralDateTimeText over the user's locale settings; UTC seconds and their
// local reading.
#include "platform/clock.h"

#include <windows.h>

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

// FILETIME counts 100 ns steps from 1601-01-01 00:00:00 UTC.
constexpr std::int64_t kFileTimeStepsPerSecond = 10000000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

}  // namespace

DateTime SystemClock::Now() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return DateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring GeneralDateTimeText(const DateTime& moment) {
    SYSTEMTIME st = ToSystemTime(moment);
    wchar_t buffer[128] = {};
    // Only a reading that is no calendar date fails (e.g. a test's 31 February). The forms
    // put in then are made by hand: a printf would bring the C runtime's formatting in.
    const std::wstring date =
        GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128) != 0
            ? buffer
            : ZeroPadded(moment.year, 4) + L"-" + ZeroPadded(moment.month, 2) + L"-" +
                  ZeroPadded(moment.day, 2);
    if (moment.hour == 0 && moment.minute == 0 && moment.second == 0) {
        return date;
    }
    const std::wstring time = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128) != 0
                                  ? buffer
                                  : TimeOfDayText(moment);
    return date + L" " + time;
}

std::int64_t UtcSecondsNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t steps = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(steps / kFileTimeStepsPerSecond) - kSecondsFrom1601To1970;
}

std::optional<DateTime> LocalTimeAtUtc(std::int64_t utcSeconds) {
    if (utcSeconds < -kSecondsFrom1601To1970) {
        return std::nullopt;
    }
    const auto steps =
        static_cast<std::uint64_t>(utcSeconds + kSecondsFrom1601To1970) * kFileTimeStepsPerSecond;
    const FILETIME instant{static_cast<DWORD>(steps), static_cast<DWORD>(steps >> 32)};
    // The zone's rules for that year (its daylight-saving dates may differ from this year's);
    // without them, the rules in force.
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    TIME_ZONE_INFORMATION zone{};
    if (!FileTimeToSystemTime(&instant, &utc)) {
        return std::nullopt;
    }
    const bool ofThatYear = GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) != 0;
    if (!SystemTimeToTzSpecificLocalTime(ofThatYear ? &zone : nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return DateTime{local.wYear, local.wMonth,  local.wDay,
                    local.wHour, local.wMinute, local.wSecond};
}

}  // namespace velmora
