// The timer control: raises its event once per Interval milliseconds while enabled and the
// interval is not 0. The scheduling lives here alone, so that how ticks are placed in time
// can change without touching the window or the handlers.
#pragma once

#include <windows.h>

#include <functional>

namespace velmora {

class Form;

class Timer {
  public:
    // Enabled, with interval 0 (so not yet running). The owner delivers WM_TIMER to Fire().
    explicit Timer(Form& owner);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const { return interval_; }
    // 0 stops the timer; any other value (re)starts it with that period.
    void SetInterval(int milliseconds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    UINT_PTR Id() const { return id_; }
    // Raises onTimer, unless onTimer is still running: a handler that processes pending
    // messages (DoEvents) must not be entered again by its own timer.
    void Fire();

    std::function<void()> onTimer;

  private:
    void Apply();

    Form& owner_;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = true;
    bool firing_ = false;
};

}  // namespace velmora
