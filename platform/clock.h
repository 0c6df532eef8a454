// The local clock, behind an interface so that tests (and a long soak run) can set the time,
// and the system's general date-and-time text.
#pragma once

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

// The user's short date, a blank and the long time; the date alone at exactly 00:00:00.
std::wstring GeneralDateTimeText(const DateTime& moment);

}  // namespace velmora
