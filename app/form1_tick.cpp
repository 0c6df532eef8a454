// Timer1_Timer: once a second, the present date and time, the countdown, and the due action.
// A graceful action's wait is a delay on the window, not a loop inside the tick: the capture
// after it comes from whatever message loop runs then, so a context menu, a dialog or a held
// button that runs a loop of its own cannot hold the screenshot past the shutdown.
#include <windows.h>

#include "actions/capture.h"
#include "app/form1.h"

namespace velmora {

void Form1::Timer1_Timer() {
    const DateTime now = clock_.Now();
    LabelS().SetCaption(GeneralDateTimeText(now));

    // A dispatch waiting for its capture goes on when the wait is over, not afresh: the clock
    // alone is shown meanwhile.
    if (grace_.Pending()) {
        return;
    }
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
    // The program's files are checked off this thread from the first tick on, so that their
    // answers are in by the due one; only that one waits a moment for a round it starts.
    if (Option3().Value()) {
        files_->Want(ProgramCandidates(target[kProgramPathPart], wow64Folder_),
                     tick.kind == TickDecision::Kind::kDue);
    }
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
    Dispatch(0, target[kProgramPathPart]);
}

// Each option is looked at on its own, as it is selected at that moment: a selection changed
// during the wait of an earlier one still counts in this dispatch.
void Form1::Dispatch(std::size_t first, const std::wstring& programPath) {
    for (std::size_t i = first; i < kDispatchOrder.size(); ++i) {
        const ActionOption option = kDispatchOrder[i];
        if (!OptionOf(option).Value()) {
            continue;
        }
        const DueAction action = DecideDueAction(option, programPath, *files_, wow64Folder_);
        if (action.commandLine) {
            runner_.Start(CommandInterpreter(*action.commandLine, action.folder, action.showConsole,
                                             action.interpreter));
        }
        if (action.waitAndCapture) {
            gracefulIssuedMs_ = static_cast<std::int64_t>(GetTickCount64());
            graceAction_ = action;
            graceResumeAt_ = i + 1;
            graceProgramPath_ = programPath;
            grace_.Start(graceWaitMs_, [this] { EndGraceWait(); });
            return;  // 退出 meanwhile destroys the window and the delay with it: no capture
        }
        ApplyDueAction(action);
    }
    KeepAwakeWhileArmed();
}

// A pause during the wait does not stop it: the capture is saved and the timer stopped all
// the same.
void Form1::EndGraceWait() {
    CaptureScreenToFile(Me(), clock_);
    ApplyDueAction(graceAction_);
    Dispatch(graceResumeAt_, graceProgramPath_);
}

void Form1::ApplyDueAction(const DueAction& action) {
    if (action.newTimerInterval) {
        Timer1().SetInterval(*action.newTimerInterval);
    }
    if (action.newRunFlag) {
        LabelAM().SetCaption(*action.newRunFlag);
    }
}

void Form1::KeepAwakeWhileArmed() {
    awake_.Hold(KeepsSystemAwake(LabelAM().Caption(), Timer1().Interval()));
}

}  // namespace velmora
