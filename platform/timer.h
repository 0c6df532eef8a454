// The timer control: raises its event once per Interval milliseconds while enabled and the
// interval is not 0. Each tick is placed just after a turn of the wall clock's period (for the
// 1000 ms tick: just after the second changes), not Interval after the previous tick, so ticks
// do not drift against the clock and none of its seconds is skipped or seen twice.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace velmora {

class Form;

class Timer {
  public:
    // Enabled, with interval 0 (so not yet running). The owner delivers WM_TIMER to
    // OnTimerMessage() and clock changes to OnClockJump().
    explicit Timer(Form& owner);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const { return interval_; }
    // 0 stops the timer; any other value (re)starts it: the first tick comes just after the
    // next turn of the clock's period.
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    UINT_PTR Id() const { return id_; }
    // Raises onTimer now, unless onTimer is still running: a handler that processes pending
    // messages (DoEvents) must not be entered again by its own timer.
    void Fire();

    // WM_TIMER: ticks when the turn it was set for has come, and sets the next turn.
    void OnTimerMessage();
    // The wall clock jumped (set by the user, or the computer woke from sleep): the turn that
    // was set no longer means anything, so tick at once and go on from the new time.
    void OnClockJump();

    std::function<void()> onTimer;

  private:
    bool Running() const { return enabled_ && interval_ > 0; }
    // Sets the Windows timer for the first turn after now, or kills it when not running.
    void Apply();
    void ArmFor(std::int64_t dueMs, std::int64_t nowMs);
    void SetPeriod(int milliseconds);
    // After a tick: the next turn, setting the Windows timer only when it is off the turns.
    void RearmAfterTick();
    void FireAndRearm();

    Form& owner_;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = true;
    bool firing_ = false;
    std::int64_t dueMs_ = 0;  // the turn the Windows timer is set for, wall-clock milliseconds
    int armedPeriod_ = 0;     // the period the Windows timer was last set with, 0 if none
};

// A one-shot delay on the owning form's window: `onDue` runs once, `milliseconds` after Start,
// from whichever message loop runs then: the program's own, or the modal loop of a context menu,
// a dialog or a window move that holds the program's, so none of them can hold it up. A delay
// measures elapsed time: setting the clock does not move it.
class Delay {
  public:
    explicit Delay(Form& owner);
    ~Delay();
    Delay(const Delay&) = delete;
    Delay& operator=(const Delay&) = delete;

    // Replaces a delay still pending.
    void Start(int milliseconds, std::function<void()> onDue);
    void Cancel();
    bool Pending() const { return static_cast<bool>(onDue_); }

    UINT_PTR Id() const { return id_; }
    // WM_TIMER: the delay is over; it is cleared before onDue runs, so onDue may start it again.
    void OnTimerMessage();

  private:
    Form& owner_;
    UINT_PTR id_;
    std::function<void()> onDue_;
};

// The wall clock in milliseconds since 1601 (UTC; local time turns its seconds at the same
// moments, as time zones are whole minutes).
std::int64_t WallClockMs();

}  // namespace velmora
