// The local clock, behind an interface so that tests (and a long soak run) can set the time,
// the system's general date-and-time text, and the UTC instants that a delay is counted in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "scheduler/date_time.h"

namespace velmora {

class Clock {
  public:
    virtual ~Clock() = default;
    // One reading of the local date and time, in whole seconds.
    virtual DateTime Now() = 0;
};

// GetLocalTime.
class SystemClock : public Clock {
  public:
    DateTime Now() override;
};

// Reads whatever was set last.
class ManualClock : public Clock {
  public:
    explicit ManualClock(const DateTime& now = {}) : now_(now) {}
    DateTime Now() override { return now_; }
    void Set(const DateTime& now) { now_ = now; }

  private:
    DateTime now_;
};

// Seconds since 1970-01-01 00:00:00 UTC (GetSystemTimeAsFileTime): what a delay counts from.
std::int64_t UtcSecondsNow();

// The local date and time at such an instant, by the time zone's rules for that date
// (daylight-saving time included), or nothing when Windows cannot convert it.
std::optional<DateTime> LocalTimeAtUtc(std::int64_t utcSeconds);

// The user's short date, a blank and the long time; the date alone at exactly 00:00:00.
std::wstring GeneralDateTimeText(const DateTime& moment);

}  // namespace velmora
