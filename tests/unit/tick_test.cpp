// The decisions of a tick (its texts, the run flag, the invalid target, the due actions, where the
// timer puts the next tick) and of a click on a label-button (every view and run-state transition).
#include <gtest/gtest.h>

#include <string>

#include "platform/tick_schedule.h"
#include "scheduler/command_labels.h"
#include "scheduler/tick.h"

namespace velmora {
namespace {

const TargetTexts kTenPm = {L"2014", L"05", L"23", L"22", L"00", L"00"};

TEST(TickTest, TextsAndTheRunFlag) {
    EXPECT_EQ(CountdownText(59), L"▲ 00:00:59 ▲");
    EXPECT_EQ(CountdownText(842477), L"▲ 234:01:17 ▲");  // hours not cut to two digits
    EXPECT_EQ(CountdownText(-1), L"▲ 00:00:00 ▲");
    EXPECT_EQ(PresentTimeText({2014, 5, 23, 9, 5, 3}), L"当前时间:09:05:03");
    for (const wchar_t* flag : {L"2", L" 2 ", L"02"}) {
        EXPECT_TRUE(IsRunning(flag)) << testing::PrintToString(std::wstring(flag));
    }
    for (const wchar_t* flag : {L"0", L"1", L"", L"二", L"2a", L"22", L"-2"}) {
        EXPECT_FALSE(IsRunning(flag)) << testing::PrintToString(std::wstring(flag));
    }
    // Awake while armed: not paused, and not fired (a fired shutdown stopped the timer).
    EXPECT_TRUE(KeepsSystemAwake(L"2", 1000));
    EXPECT_FALSE(KeepsSystemAwake(L"2", 0));
    EXPECT_FALSE(KeepsSystemAwake(L"1", 1000));
}

TEST(TickTest, DecideTick) {
    using Kind = TickDecision::Kind;
    const TargetTexts unreadable = {L"2014", L"05", L"", L"22", L"00", L"00"};
    const struct {
        DateTime now;
        const wchar_t* flag;
        TargetTexts target;
        Kind kind;
        const wchar_t* label2;  // Label6 shows the present time with it
    } cases[] = {
        {{2014, 5, 23, 13, 58, 43}, L"2", kTenPm, Kind::kCounting, L"▲ 08:01:17 ▲"},
        {{2014, 5, 23, 22, 0, 0}, L"2", kTenPm, Kind::kDue, L""},
        {{2014, 5, 23, 13, 58, 43}, L"2", unreadable, Kind::kInvalidTarget, L"▲ 时间无效 ▲"},
        {{2038, 9, 24, 3, 14, 8}, L"2", kTenPm, Kind::kInvalidTarget, L"▲ 时间无效 ▲"},
        {{2014, 5, 23, 22, 0, 0}, L"1", kTenPm, Kind::kNotRunning, L""},
    };
    for (const auto& c : cases) {
        const TickDecision decision = DecideTick(c.now, c.flag, c.target);
        EXPECT_EQ(decision.kind, c.kind) << testing::PrintToString(std::wstring(c.label2));
        EXPECT_EQ(decision.label2Text, c.label2);
        EXPECT_EQ(decision.label6Text, c.label2[0] ? PresentTimeText(c.now) : L"");
    }
}

// The files that exist for the 运行 action, and those whose answer is not known yet.
struct FakeFiles : FileQuery {
    FileAnswer Ask(const std::wstring& path) override {
        if (path.find(L" b") != std::wstring::npos) {
            return FileAnswer::kNotKnownYet;
        }
        const std::wstring files =
            L"|C:\\Program|C:\\Program Files\\App\\app.exe|C:\\工具 箱\\程序 & 一.exe"
            L"|C:\\50%\\x.exe|x.exe|C:\\t\\tool|C:\\t\\tool.cmd|C:\\50%\\s.BAT"
            L"|C:\\a.exe|C:\\slo\\w.exe|C:\\W\\Sysnative\\x y.exe|C:\\W\\Sysnative\\tool.cmd|";
        return files.find(L"|" + path + L"|") != std::wstring::npos ? FileAnswer::kFile
                                                                    : FileAnswer::kNoFile;
    }
};

TEST(TickTest, DueActions) {
    const wchar_t kApp[] = L"\"C:\\Program Files\\App\\app.exe\"";
    const wchar_t kStartApp[] = L"cmd.exe /d /c start \"\" \"C:\\Program Files\\App\\app.exe\"";
    const struct {
        ActionOption option;
        const wchar_t* path;
        std::optional<std::wstring> command;
        bool waitAndCapture;
        std::optional<int> interval;
        std::optional<std::wstring> runFlag;
        const wchar_t* folder;
    } cases[] = {
        {ActionOption::kOption1, kApp, L"cmd.exe /d /c shutdown -s -t 20", true, 0, {}, L""},
        {ActionOption::kOption2, L"", L"cmd.exe /d /c shutdown -r -t 20", true, 0, {}, L""},
        {ActionOption::kOption4, L"", L"cmd.exe /d /c shutdown -s -t 0", false, 0, {}, L""},
        {ActionOption::kOption5, L"", L"cmd.exe /d /c shutdown -r -t 0", false, 0, {}, L""},
        {ActionOption::kOption3, L"C:\\gone.exe", {}, false, {}, {}, L""},  // asked next tick
        {ActionOption::kOption3, kApp, kStartApp, false, {}, L"1", L"C:\\Program Files\\App"},
        {ActionOption::kOption3,
         L"C:\\t\\tool",
         L"cmd.exe /d /s /c \"\"C:\\t\\tool.cmd\"\"",
         false,
         {},
         L"1",
         L"C:\\t"},
    };
    for (const auto& c : cases) {
        FakeFiles files;
        const DueAction action = DecideDueAction(c.option, c.path, files);
        EXPECT_EQ(action.commandLine, c.command);
        EXPECT_EQ(action.waitAndCapture, c.waitAndCapture);
        EXPECT_EQ(action.newTimerInterval, c.interval);
        EXPECT_EQ(action.newRunFlag, c.runFlag);
        EXPECT_EQ(action.folder, c.folder);
        EXPECT_EQ(action.showConsole, c.command && c.command->find(L"/s /c") != std::wstring::npos);
    }
}

// The program and its arguments as typed; after the program, as cmd must get them so that the
// program (through start) or the script (in a cmd of its own) gets them as typed.
TEST(TickTest, WhatThePathFieldStarts) {
    using Status = ProgramStart::Status;
    const struct {
        std::wstring text;
        const wchar_t* started;  // after start's "", or after a script's cmd.exe /d /s /c "
        Status status;
        bool script;
        const wchar_t* folder;
    } cases[] = {
        {L" \tC:\\工具 箱\\程序 & 一.exe", L"\"C:\\工具 箱\\程序 & 一.exe\"", Status::kStart, false,
         L"C:\\工具 箱"},
        {L"\"C:\\Program Files\\App\\app.exe\" --min ",
         L"\"C:\\Program Files\\App\\app.exe\" --min", Status::kStart, false,
         L"C:\\Program Files\\App"},
        {L"C:\\Program Files\\App\\app.exe  a \"b c\"",
         L"\"C:\\Program Files\\App\\app.exe\" a \"b c\"", Status::kStart, false, nullptr},
        {L"C:\\50%\\x.exe a&b|c<d>e^f \"&|<>^\" \"a\"&",
         L"\"C:\\50\"%\"\\x.exe\" a^&b^|c^<d^>e^^f \"&|<>^\" \"a\"^&", Status::kStart, false,
         L"C:\\50%"},
        {L"C:\\50%\\x.exe 50%OS%x \"C:\\d\\%x\" \"a\"%b \"%OS%\"",
         L"\"C:\\50\"%\"\\x.exe\" 50%\"\"OS%\"\"x \"C:\\d\\\\\"%\"x\" \"a\"%\"\"b \"\"%\"OS%\"",
         Status::kStart, false, nullptr},
        {L"C:\\50%\\x.exe \\\"%x &", L"\"C:\\50\"%\"\\x.exe\" \\\"%\"\"x &", Status::kStart, false,
         nullptr},
        {L"C:\\a", L"\"C:\\a.exe\"", Status::kStart, false, L"C:\\"},  // as Windows finds it
        {L"C:\\Program x", L"\"C:\\Program\" x", Status::kStart, false, nullptr},
        // An extensionless file gives way to its program; a script runs in a cmd of its own.
        {L"C:\\t\\tool a&echo x> C:\\t\\inj.txt %OS%^ %%x \"%OS%&\" %&b 50%",
         L"\"C:\\t\\tool.cmd\" a^&echo x^> C:\\t\\inj.txt %^OS%^^ %^%^x \"%OS%&\" %^&b 50%\"",
         Status::kStart, true, L"C:\\t"},
        {L"C:\\50%\\s.BAT", L"\"C:\\50\"%\"\\s.BAT\"\"", Status::kStart, true, nullptr},
        {L"C:\\a.exe " + std::wstring(8157, L'x'), nullptr, Status::kStart, false, nullptr},
        {L"C:\\a.exe " + std::wstring(8158, L'x'), nullptr, Status::kNothing, false, nullptr},
        // A longer program part whose answer is not known yet is waited for.
        {L"C:\\slo\\w.exe b", nullptr, Status::kPending, false, nullptr},
        {L"x.exe C:\\", nullptr, Status::kNothing, false, nullptr},  // one found by search
        {L"\"C:\\Program Files\\App\\app.exe", nullptr, Status::kNothing, false, nullptr},
        {L"\"C:\\Program\"x", nullptr, Status::kNothing, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text.substr(0, 60)));
        FakeFiles files;
        const ProgramStart start = ReadProgramStart(c.text, files);
        EXPECT_EQ(start.status, c.status);
        if (c.started) {
            EXPECT_EQ(start.commandLine,
                      (c.script ? L"cmd.exe /d /s /c \"" : L"cmd.exe /d /c start \"\" ") +
                          std::wstring(c.started));
        }
        EXPECT_EQ(start.showConsole, c.script);
        if (c.folder) {
            EXPECT_EQ(start.folder, c.folder);
        }
    }
    EXPECT_EQ(ProgramCandidates(L"C:\\t\\tool.x a")[5], L"C:\\t\\tool.x");
}

// The 32-bit program under WOW64 checks and runs the 64-bit system folder's files.
TEST(TickTest, System32IsAskedForThroughSysnative) {
    EXPECT_EQ(SysnativePath(L"c:\\windows\\SYSTEM32\\wsl.exe", L"C:\\Windows"),
              L"C:\\Windows\\Sysnative\\wsl.exe");
    for (const wchar_t* path : {L"C:\\Windows\\System32x\\a", L"D:\\Windows\\System32\\a"}) {
        EXPECT_EQ(SysnativePath(path, L"C:\\Windows"), path);
    }
    FakeFiles files;
    const ProgramStart start = ReadProgramStart(L"C:\\W\\system32\\x y", files, L"C:\\W");
    EXPECT_EQ(start.commandLine, L"cmd.exe /d /c start \"\" \"C:\\W\\Sysnative\\x y.exe\"");
    EXPECT_EQ(start.folder, L"C:\\W\\system32");
    EXPECT_EQ(start.interpreter, L"");
    // A script in the 64-bit cmd, as Explorer runs it, which sees System32 as the user does.
    const ProgramStart script = ReadProgramStart(L"C:\\W\\system32\\tool", files, L"C:\\W");
    EXPECT_EQ(script.commandLine, L"cmd.exe /d /s /c \"\"C:\\W\\system32\\tool.cmd\"\"");
    EXPECT_EQ(script.interpreter, L"C:\\W\\Sysnative\\cmd.exe");
    EXPECT_EQ(DecideDueAction(ActionOption::kOption3, L"C:\\W\\system32\\tool", files, L"C:\\W")
                  .interpreter,
              script.interpreter);
}

TEST(TickTest, TicksAreAskedForJustAfterTheNextTurn) {
    EXPECT_EQ(NextTurnMs(12'000, 1000), 13'000);  // on a turn: the next one
    EXPECT_EQ(DelayUntilMs(12'004, 13'000), 996 + kTickSlackMs);
    EXPECT_EQ(DelayUntilMs(13'000, 13'000), 0);  // a turn already come is due at once
    EXPECT_TRUE(IsEarly(12'998, 13'000, 1000));
    EXPECT_FALSE(IsEarly(13'000, 13'000, 1000));
    EXPECT_FALSE(IsEarly(11'999, 13'000, 1000));  // the clock was set back: tick now
    EXPECT_TRUE(IsJustAfterTurn(13'000 + kTickSlackMs + kOnTurnToleranceMs, 1000));
    EXPECT_FALSE(IsJustAfterTurn(13'001 + kTickSlackMs + kOnTurnToleranceMs, 1000));
}

struct Size {
    float width, height;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};
// Label5 and Label9 give the three views.
constexpr Size kFull{5835, 3315}, kWide{5835, 555}, kCompact{2045, 555};

TEST(LabelClickTest, EachClickLeadsToItsViewAndRunState) {
    const wchar_t* const kAny = L"暂停";
    const struct {
        Size before;
        std::int16_t index;
        const wchar_t* caption;  // of LabelGN(3)
        int interval;
        Size after;
        const wchar_t* runFlag;  // nullptr: unchanged; "2" started, "1" paused
        int intervalAfter;
        std::int64_t msSinceGraceful = -1;  // a graceful shutdown issued that long ago; -1: none
        bool aborts = false;
    } rows[] = {
        {kFull, 1, kAny, 1000, kFull, nullptr, 1000},     // "★"
        {kWide, 1, kAny, 1000, kCompact, nullptr, 1000},  //
        {kCompact, 1, kAny, 1000, kWide, nullptr, 1000},  //
        {kFull, 2, kAny, 1000, kWide, nullptr, 1000},     // "设置"
        {kWide, 2, kAny, 1000, kFull, nullptr, 1000},     //
        {kCompact, 2, kAny, 1000, kFull, nullptr, 1000},  //
        {kWide, 0, kAny, 1000, kCompact, nullptr, 1000},  // "▲"
        {kFull, 3, L"启动", 1000, kCompact, L"2", 1000},  // start
        {kWide, 3, L"启动", 0, kCompact, L"2", 1000},     // revives a stopped timer
        {kCompact, 3, L"暂停", 1000, kFull, L"1", 1000},  // pause
        {kWide, 3, L"暂停", 0, kFull, L"1", 0},           // after firing: stays stopped
        {kFull, 3, L"启动 ", 1000, kFull, L"1", 1000},    // not exactly "启动": pause
        {kWide, 4, kAny, 1000, kWide, nullptr, 1000},     // "退出"
        // A pause stops a graceful shutdown only while Windows still holds it.
        {kCompact, 3, L"暂停", 1000, kFull, L"1", 1000, 0, true},
        {kWide, 3, L"暂停", 0, kFull, L"1", 0, 19'999, true},
        {kWide, 3, L"暂停", 0, kFull, L"1", 0, 20'000},
        {kFull, 3, L"启动", 0, kCompact, L"2", 1000, 0},
        {kWide, 4, kAny, 0, kWide, nullptr, 0, 0},  // 退出 leaves it in force
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "index " << r.index << " from " << r.before.width
                                        << " x " << r.before.height);
        const LabelClickEffects e = DecideLabelClick(
            r.index, {r.before.width, r.before.height, kFull.width, kFull.height, kCompact.width,
                      kCompact.height, r.caption, L"0", r.interval,
                      r.msSinceGraceful < 0 ? std::nullopt : std::optional(r.msSinceGraceful)});
        EXPECT_EQ(Size({e.width.value_or(r.before.width), e.height.value_or(r.before.height)}),
                  r.after);
        const std::wstring flag = r.runFlag ? r.runFlag : L"";
        EXPECT_EQ(e.labelAMCaption.value_or(L""), flag);
        EXPECT_EQ(e.labelGN3Caption.value_or(L""), flag.empty()   ? L""
                                                   : flag == L"2" ? L"暂停"
                                                                  : L"启动");
        EXPECT_EQ(e.timerInterval.value_or(r.interval), r.intervalAfter);
        EXPECT_EQ(e.minimizeAndRestore, flag == L"2");
        EXPECT_EQ(e.labelGN3First, flag == L"1");  // a pause changes the label before the flag
        EXPECT_EQ(e.label2Caption.value_or(L""), flag == L"1" ? L"00:00:00" : L"");
        EXPECT_EQ(e.label6Caption.value_or(L""), flag == L"1" ? L"Velmora自动关机" : L"");
        EXPECT_EQ(e.endProgram, r.index == 4);
        EXPECT_EQ(e.abortCommandLine.value_or(L""), r.aborts ? L"cmd.exe /d /c shutdown -a" : L"");
    }
}

}  // namespace
}  // namespace velmora
