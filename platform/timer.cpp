// Timer: SetTimer/KillTimer on the owning form's window.
#include "platform/timer.h"

#include "platform/form.h"

namespace velmora {

Timer::Timer(Form& owner) : owner_(owner), id_(owner.AddTimer(*this)) {}

Timer::~Timer() {
    if (owner_.Hwnd()) {
        KillTimer(owner_.Hwnd(), id_);
    }
    owner_.RemoveTimer(*this);
}

void Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds < 0 ? 0 : milliseconds;
    Apply();
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Apply();
}

void Timer::Apply() {
    HWND hwnd = owner_.Hwnd();
    if (!hwnd) {
        return;
    }
    if (enabled_ && interval_ > 0) {
        // SetTimer with an id already in use replaces that timer and restarts its period.
        SetTimer(hwnd, id_, static_cast<UINT>(interval_), nullptr);
    } else {
        KillTimer(hwnd, id_);
    }
}

void Timer::Fire() {
    if (firing_ || !enabled_ || interval_ == 0 || !onTimer) {
        return;
    }
    firing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{firing_};
    onTimer();
}

}  // namespace velmora
