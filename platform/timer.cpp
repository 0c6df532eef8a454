// Timer: a Windows timer on the owning form's window, set afresh at every tick for the next
// turn of the wall clock (SetTimer with the id in use replaces that timer and its period).
#include "platform/timer.h"

#include "platform/form.h"
#include "platform/tick_schedule.h"

namespace velmora {

std::int64_t WallClockMs() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    return static_cast<std::int64_t>(ticks.QuadPart / 10000);  // 100 ns units
}

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
    if (Running()) {
        const std::int64_t now = WallClockMs();
        ArmFor(NextTurnMs(now, interval_), now);
    } else if (owner_.Hwnd()) {
        KillTimer(owner_.Hwnd(), id_);
        armedPeriod_ = 0;
    }
}

void Timer::ArmFor(std::int64_t dueMs, std::int64_t nowMs) {
    dueMs_ = dueMs;
    SetPeriod(DelayUntilMs(nowMs, dueMs));
}

void Timer::SetPeriod(int milliseconds) {
    if (owner_.Hwnd()) {
        // Below USER_TIMER_MINIMUM (10 ms) Windows uses the minimum itself.
        SetTimer(owner_.Hwnd(), id_, static_cast<UINT>(milliseconds), nullptr);
        armedPeriod_ = milliseconds;
    }
}

void Timer::RearmAfterTick() {
    if (!Running()) {
        Apply();
        return;
    }
    const std::int64_t now = WallClockMs();
    if (!IsJustAfterTurn(now, interval_)) {
        ArmFor(NextTurnMs(now, interval_), now);  // late (a long tick, a busy machine): catch up
        return;
    }
    // On the turn: a Windows timer with the interval as its period comes back at this point of
    // every period, so it is set once here and then left alone tick after tick.
    dueMs_ = NextTurnMs(now, interval_);
    if (armedPeriod_ != interval_) {
        SetPeriod(interval_);
    }
}

void Timer::Fire() {
    if (firing_ || !Running() || !onTimer) {
        return;
    }
    firing_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{firing_};
    onTimer();
}

void Timer::FireAndRearm() {
    Fire();
    // Set from the time the handler ended: after a long handler (the grace wait of a due
    // tick) the next tick is the next turn from then, not a burst of the turns it sat through.
    RearmAfterTick();
}

void Timer::OnTimerMessage() {
    if (firing_ || !Running()) {
        // Our own handler is processing messages: the Windows timer keeps its period and
        // the handler's end sets the next turn.
        return;
    }
    const std::int64_t now = WallClockMs();
    if (IsEarly(now, dueMs_, interval_)) {
        ArmFor(dueMs_, now);
        return;
    }
    FireAndRearm();
}

void Timer::OnClockJump() {
    if (firing_ || !Running()) {
        return;
    }
    FireAndRearm();
}

Delay::Delay(Form& owner) : owner_(owner), id_(owner.AddDelay(*this)) {}

Delay::~Delay() {
    Cancel();
    owner_.RemoveDelay(*this);
}

void Delay::Start(int milliseconds, std::function<void()> onDue) {
    onDue_ = std::move(onDue);
    if (!owner_.Hwnd() ||
        SetTimer(owner_.Hwnd(), id_, static_cast<UINT>(milliseconds), nullptr) == 0) {
        onDue_ = nullptr;  // no window, or no timer to be had: nothing will come
    }
}

void Delay::Cancel() {
    if (owner_.Hwnd()) {
        KillTimer(owner_.Hwnd(), id_);
    }
    onDue_ = nullptr;
}

void Delay::OnTimerMessage() {
    if (!onDue_) {
        return;
    }
    const std::function<void()> due = std::move(onDue_);
    Cancel();
    due();
}

}  // namespace velmora
