// What one tick of the timer decides, as plain functions: the texts it shows and what a
// due tick does for each action option. The window layer reads the controls, calls these,
// and carries out the results in order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scheduler/date_time.h"
#include "scheduler/program_start.h"
#include "scheduler/remaining_time.h"

namespace velmora {

inline constexpr int kTickIntervalMs = 1000;
// How long a graceful action waits after its command before it captures the screen: well
// inside the shutdown's own 20 s, so the capture is taken while the desktop is still there.
inline constexpr int kGraceWaitMs = 5000;
inline constexpr wchar_t kInvalidTargetText[] = L"▲ 时间无效 ▲";
inline constexpr wchar_t kRunFlagIdle[] = L"0";
inline constexpr wchar_t kRunFlagPaused[] = L"1";
inline constexpr wchar_t kRunFlagRunning[] = L"2";

// "▲ 08:01:17 ▲"; the hours are not cut to two digits ("▲ 234:01:17 ▲"). A negative
// count is shown as 0.
std::wstring CountdownText(std::int32_t remainingSeconds);

// "当前时间:09:05:03".
std::wstring PresentTimeText(const DateTime& now);

// True when the run flag caption reads as the number 2 (the same reading as a target
// field); a caption that is not a number means not running.
bool IsRunning(std::wstring_view runFlagCaption);

// Whether the system must be kept from sleeping: while the countdown runs and its action has
// not fired (a fired shutdown stops the timer; a started program sets the flag back).
bool KeepsSystemAwake(std::wstring_view runFlagCaption, int timerInterval);

// What a tick does once it has shown the date and time.
struct TickDecision {
    enum class Kind {
        kNotRunning,     // run flag is not 2: nothing more
        kCounting,       // show label2Text and label6Text
        kInvalidTarget,  // show label2Text (kInvalidTargetText) and label6Text; fire nothing
        kDue,            // dispatch the options; label2 and label6 keep their texts
    };
    Kind kind = Kind::kNotRunning;
    std::wstring label2Text;
    std::wstring label6Text;
};

TickDecision DecideTick(const DateTime& now, std::wstring_view runFlagCaption,
                        const TargetTexts& target);

enum class ActionOption { kOption1, kOption2, kOption3, kOption4, kOption5 };

// The order in which a due tick examines the options.
inline constexpr std::array<ActionOption, 5> kDispatchOrder = {
    ActionOption::kOption1, ActionOption::kOption2, ActionOption::kOption4, ActionOption::kOption5,
    ActionOption::kOption3};

// What a due tick does for one selected option.
struct DueAction {
    std::optional<std::wstring> commandLine;  // run hidden, not waited for
    bool waitAndCapture = false;              // grace wait, then the screen capture
    std::optional<int> newTimerInterval;      // 0 stops the timer
    std::optional<std::wstring> newRunFlag;   // "1" after a program start, only then
    // The command's current folder. Empty: the system folder, where cmd finds the system's own
    // `shutdown` first; a started program gets its own, as a shortcut's "Start in" gives it.
    std::wstring folder;
    bool showConsole = false;  // a script's console; every other command runs hidden
    std::wstring interpreter;  // the cmd.exe to run; empty: the system folder's
};

// `files` is asked whether the program that the path field names exists (the 运行 option
// only); while an answer is not known yet, nothing starts. `wow64WindowsFolder`: see
// SysnativePath.
DueAction DecideDueAction(ActionOption option, std::wstring_view programPath, FileQuery& files,
                          std::wstring_view wow64WindowsFolder = {});

}  // namespace velmora
