// Keeping the system awake while the timer is armed: a PC left alone goes to sleep after its
// idle time, and an action due later would then fire only when somebody wakes it.
#pragma once

namespace velmora {

// The thread's execution state. Asks for the system (not the display) to stay on while held;
// given back when released, and when this goes.
class AwakeRequest {
  public:
    AwakeRequest() = default;
    ~AwakeRequest();
    AwakeRequest(const AwakeRequest&) = delete;
    AwakeRequest& operator=(const AwakeRequest&) = delete;

    // SetThreadExecutionState, called only when `held` differs from the state last set.
    void Hold(bool held);
    bool Held() const { return held_; }

  private:
    bool held_ = false;
};

}  // namespace velmora
