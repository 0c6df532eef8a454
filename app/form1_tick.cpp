// Timer1_Timer: once a second, the present date and time, the countdown, and the due action.
#include <windows.h>

#include "actions/capture.h"
#include "app/form1.h"
#include "platform/message_loop.h"

namespace velmora {

namespace {

// The grace before the capture: `passes` times "let pending window events through, then sleep
// 10 ms", so the window stays usable for at least passes x 10 ms. False as soon as the program
// is ending (exit clicked during the wait).
bool GraceWait(const Form& form, int passes) {
    for (int i = 0; i < passes; ++i) {
        if (!DoEvents() || form.Ended()) {
            return false;
        }
        Sleep(kGraceSleepMs);
    }
    return true;
}

// Holds a flag raised for as long as it lives.
class RaisedFlag {
  public:
    explicit RaisedFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RaisedFlag() { flag_ = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

  private:
    bool& flag_;
};

}  // namespace

void Form1::Timer1_Timer() {
    const DateTime now = clock_.Now();
    LabelS().SetCaption(GeneralDateTimeText(now));

    // Nothing more to do while not counting down; the six fields are not even read then (six
    // window messages a second for nothing).
    const std::wstring runFlag = LabelAM().Caption();
    if (!IsRunning(runFlag)) {
        return;
    }
    // The texts in force: an edit still being typed has not taken effect (form1_edits.cpp).
    const TargetEntry target = targetEdits_.InForce(LiveTarget(), now);
    const TickDecision tick = DecideTick(
        now, runFlag, {target[0], target[1], target[2], target[3], target[4], target[5]});
    switch (tick.kind) {
        case TickDecision::Kind::kNotRunning:
            return;
        case TickDecision::Kind::kCounting:
        case TickDecision::Kind::kInvalidTarget:
            Label2().SetCaption(tick.label2Text);
            Label6().SetCaption(tick.label6Text);
            return;
        case TickDecision::Kind::kDue:
            break;
    }

    // Each option is looked at on its own, as it is selected at that moment: a selection
    // changed during the grace wait of an earlier one still counts in this tick.
    for (ActionOption option : kDispatchOrder) {
        if (!OptionOf(option).Value()) {
            continue;
        }
        const DueAction action = DecideDueAction(option, target[kProgramPathPart], files_);
        if (action.commandLine) {
            runner_.Start(CommandInterpreter(*action.commandLine, action.inSystemFolder));
        }
        if (action.waitAndCapture) {
            bool waited = false;
            {
                const RaisedFlag waiting(inGraceWait_);  // 浏览 opens nothing meanwhile
                waited = GraceWait(Me(), gracePasses_);
            }
            if (!waited) {
                return;  // ended during the wait: the command stands, no capture
            }
            CaptureScreenToFile(Me(), clock_);
        }
        if (action.newTimerInterval) {
            Timer1().SetInterval(*action.newTimerInterval);
        }
        if (action.newRunFlag) {
            LabelAM().SetCaption(*action.newRunFlag);
        }
    }
}

}  // namespace velmora
