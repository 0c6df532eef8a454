// The decisions of one timer tick: the countdown and clock texts, whether the scheduler
// runs, and what a due tick does for each selected option.
#include "scheduler/tick.h"

#include <utility>

namespace velmora {

namespace {

constexpr wchar_t kPresentTimePrefix[] = L"当前时间:";

}  // namespace

std::wstring CountdownText(std::int32_t remainingSeconds) {
    const std::int32_t seconds = remainingSeconds < 0 ? 0 : remainingSeconds;
    return L"▲ " + ZeroPadded(seconds / 3600, 2) + L":" + ZeroPadded(seconds % 3600 / 60, 2) +
           L":" + ZeroPadded(seconds % 60, 2) + L" ▲";
}

std::wstring PresentTimeText(const DateTime& now) {
    return kPresentTimePrefix + TimeOfDayText(now);
}

bool IsRunning(std::wstring_view runFlagCaption) {
    const FieldNumber flag = ParseFieldText(runFlagCaption);
    return flag.status == FieldStatus::kOk && flag.value == 2;
}

bool KeepsSystemAwake(std::wstring_view runFlagCaption, int timerInterval) {
    return IsRunning(runFlagCaption) && timerInterval != 0;
}

TickDecision DecideTick(const DateTime& now, std::wstring_view runFlagCaption,
                        const TargetTexts& target) {
    TickDecision decision;
    if (!IsRunning(runFlagCaption)) {
        decision.kind = TickDecision::Kind::kNotRunning;
        return decision;
    }
    const std::optional<std::int32_t> remaining = RemainingSeconds(now, target);
    if (!remaining) {
        // Nothing fires on a target that cannot be read; the next tick reads it again, so
        // correcting the field is enough to resume the countdown.
        decision.kind = TickDecision::Kind::kInvalidTarget;
        decision.label2Text = kInvalidTargetText;
        decision.label6Text = PresentTimeText(now);
    } else if (*remaining > 0) {
        decision.kind = TickDecision::Kind::kCounting;
        decision.label2Text = CountdownText(*remaining);
        decision.label6Text = PresentTimeText(now);
    } else {
        decision.kind = TickDecision::Kind::kDue;
    }
    return decision;
}

DueAction DecideDueAction(ActionOption option, std::wstring_view programPath, FileQuery& files,
                          std::wstring_view wow64WindowsFolder) {
    DueAction action;
    switch (option) {
        case ActionOption::kOption1:
            action.commandLine = L"cmd.exe /d /c shutdown -s -t 20";
            action.waitAndCapture = true;
            action.newTimerInterval = 0;
            break;
        case ActionOption::kOption2:
            action.commandLine = L"cmd.exe /d /c shutdown -r -t 20";
            action.waitAndCapture = true;
            action.newTimerInterval = 0;
            break;
        case ActionOption::kOption4:
            action.commandLine = L"cmd.exe /d /c shutdown -s -t 0";
            action.newTimerInterval = 0;
            break;
        case ActionOption::kOption5:
            action.commandLine = L"cmd.exe /d /c shutdown -r -t 0";
            action.newTimerInterval = 0;
            break;
        case ActionOption::kOption3: {
            ProgramStart start = ReadProgramStart(programPath, files, wow64WindowsFolder);
            if (start.status == ProgramStart::Status::kStart) {
                action.commandLine = std::move(start.commandLine);
                action.folder = std::move(start.folder);
                action.showConsole = start.showConsole;
                action.interpreter = std::move(start.interpreter);
                action.newRunFlag = kRunFlagPaused;
            }
            break;
        }
    }
    return action;
}

}  // namespace velmora
