// Tests of the tick's decisions: texts, the run flag, the invalid target, the due actions.
#include <gtest/gtest.h>

#include "scheduler/tick.h"

namespace velmora {
namespace {

const DateTime kAfternoon{2014, 5, 23, 13, 58, 43};
const TargetTexts kTenPm = {L"2014", L"05", L"23", L"22", L"00", L"00"};

TEST(CountdownTextTest, PadsEachPartAndLeavesLongHoursWhole) {
    EXPECT_EQ(CountdownText(59), L"▲ 00:00:59 ▲");
    EXPECT_EQ(CountdownText(3600), L"▲ 01:00:00 ▲");
    EXPECT_EQ(CountdownText(28877), L"▲ 08:01:17 ▲");
    EXPECT_EQ(CountdownText(842477), L"▲ 234:01:17 ▲");
    EXPECT_EQ(CountdownText(INT32_MAX), L"▲ 596523:14:07 ▲");
}

TEST(PresentTimeTextTest, ShowsTheClockOnTheTwentyFourHourDial) {
    EXPECT_EQ(PresentTimeText({2014, 5, 23, 9, 5, 3}), L"当前时间:09:05:03");
    EXPECT_EQ(PresentTimeText({2014, 5, 23, 23, 59, 0}), L"当前时间:23:59:00");
}

TEST(IsRunningTest, OnlyTheNumberTwoRuns) {
    EXPECT_TRUE(IsRunning(L"2"));
    EXPECT_TRUE(IsRunning(L" 2 "));
    EXPECT_TRUE(IsRunning(L"02"));
    for (const wchar_t* caption : {L"0", L"1", L"", L"二", L"2a", L"22", L"-2"}) {
        EXPECT_FALSE(IsRunning(caption)) << testing::PrintToString(std::wstring(caption));
    }
}

TEST(DecideTickTest, RunningCountsDownUntilDue) {
    const TickDecision counting = DecideTick(kAfternoon, L"2", kTenPm);
    EXPECT_EQ(counting.kind, TickDecision::Kind::kCounting);
    EXPECT_EQ(counting.label2Text, L"▲ 08:01:17 ▲");
    EXPECT_EQ(counting.label6Text, L"当前时间:13:58:43");

    const TickDecision lastSecond = DecideTick({2014, 5, 23, 21, 59, 59}, L"2", kTenPm);
    EXPECT_EQ(lastSecond.label2Text, L"▲ 00:00:01 ▲");

    // Due and past targets leave Label2 and Label6 as they were.
    for (const DateTime& now : {DateTime{2014, 5, 23, 22, 0, 0}, DateTime{2015, 1, 1, 0, 0, 0}}) {
        const TickDecision due = DecideTick(now, L"2", kTenPm);
        EXPECT_EQ(due.kind, TickDecision::Kind::kDue);
        EXPECT_TRUE(due.label2Text.empty());
        EXPECT_TRUE(due.label6Text.empty());
    }
    EXPECT_EQ(DecideTick(kAfternoon, L"2", {L"1971", L"", L"", L"", L"", L""}).kind,
              TickDecision::Kind::kDue);
}

TEST(DecideTickTest, AnInvalidTargetIsShownAndFiresNothing) {
    const TargetTexts unreadable = {L"2014", L"05", L"", L"22", L"00", L"00"};
    const TargetTexts pastTheScale = {L"2038", L"09", L"24", L"03", L"14", L"08"};
    for (const TargetTexts& target : {unreadable, pastTheScale}) {
        const TickDecision decision = DecideTick(kAfternoon, L"2", target);
        EXPECT_EQ(decision.kind, TickDecision::Kind::kInvalidTarget);
        EXPECT_EQ(decision.label2Text, L"▲ 时间无效 ▲");
        EXPECT_EQ(decision.label6Text, L"当前时间:13:58:43");
    }
    // The clock itself past the end of the scale: invalid as well, not due.
    EXPECT_EQ(DecideTick({2038, 9, 24, 3, 14, 8}, L"2", kTenPm).kind,
              TickDecision::Kind::kInvalidTarget);
    // Not running: the target is not even looked at, and no text changes.
    for (const wchar_t* flag : {L"0", L"1"}) {
        const TickDecision idle = DecideTick(kAfternoon, flag, unreadable);
        EXPECT_EQ(idle.kind, TickDecision::Kind::kNotRunning);
        EXPECT_TRUE(idle.label2Text.empty() && idle.label6Text.empty());
    }
}

TEST(DecideDueActionTest, ShutdownAndRestartStopTheTimer) {
    struct Row {
        ActionOption option;
        const wchar_t* command;
        bool waitAndCapture;
    };
    for (const Row& row : {Row{ActionOption::kOption1, L"cmd.exe /c shutdown -s -t 20", true},
                           Row{ActionOption::kOption2, L"cmd.exe /c shutdown -r -t 20", true},
                           Row{ActionOption::kOption4, L"cmd.exe /c shutdown -s -t 0", false},
                           Row{ActionOption::kOption5, L"cmd.exe /c shutdown -r -t 0", false}}) {
        const DueAction action = DecideDueAction(row.option, L"C:\\tools\\x.exe");
        EXPECT_EQ(action.commandLine, std::wstring(row.command));
        EXPECT_EQ(action.waitAndCapture, row.waitAndCapture);
        EXPECT_EQ(action.newTimerInterval, 0);
        EXPECT_EQ(action.newRunFlag, std::nullopt);
    }
}

TEST(DecideDueActionTest, StartingAProgramSetsTheFlagAndKeepsTheTimer) {
    const DueAction started = DecideDueAction(ActionOption::kOption3, L"C:\\Program Files\\a.exe");
    EXPECT_EQ(started.commandLine, L"cmd.exe /c start \"\" \"C:\\Program Files\\a.exe\"");
    EXPECT_EQ(started.newRunFlag, L"1");
    EXPECT_FALSE(started.waitAndCapture);
    EXPECT_EQ(started.newTimerInterval, std::nullopt);

    // Refused: nothing at all, so the next tick tries again.
    const DueAction refused = DecideDueAction(ActionOption::kOption3, L"notepad.exe");
    EXPECT_EQ(refused.commandLine, std::nullopt);
    EXPECT_EQ(refused.newRunFlag, std::nullopt);
    EXPECT_EQ(refused.newTimerInterval, std::nullopt);
    EXPECT_FALSE(refused.waitAndCapture);
}

TEST(StartProgramCommandLineTest, QuotesTheTrimmedPath) {
    const std::wstring prefix = L"cmd.exe /c start \"\" \"";
    EXPECT_EQ(StartProgramCommandLine(L"C:\\x.exe"), prefix + L"C:\\x.exe\"");
    EXPECT_EQ(StartProgramCommandLine(L"  D:\\My Tools\\run.bat\t"),
              prefix + L"D:\\My Tools\\run.bat\"");
    EXPECT_EQ(StartProgramCommandLine(L" \"C:\\a b\\c.exe\" "), prefix + L"C:\\a b\\c.exe\"");
    // Only one pair of quotes comes off; blanks inside them are the path's own.
    EXPECT_EQ(StartProgramCommandLine(L"\" C:\\a.exe\""), prefix + L" C:\\a.exe\"");
    EXPECT_EQ(StartProgramCommandLine(L"C:\\软件\\程序.exe"), prefix + L"C:\\软件\\程序.exe\"");
    // The drive test is a plain search anywhere in the text.
    EXPECT_EQ(StartProgramCommandLine(L"x:\\"), prefix + L"x:\\\"");
}

TEST(StartProgramCommandLineTest, RefusesTextsThatAreNotAUsablePath) {
    for (const wchar_t* text :
         {L"", L"notepad.exe", L"C:/x.exe", L"C: \\x.exe", L"\"\"C:\\x.exe\"\"",
          L"C:\\x.exe\" & del C:\\*", L"\"C:\\x.exe", L"C:\\x.exe\""}) {
        EXPECT_EQ(StartProgramCommandLine(text), std::nullopt)
            << testing::PrintToString(std::wstring(text));
    }
}

}  // namespace
}  // namespace velmora
