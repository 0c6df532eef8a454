// The command line read and resolved: what each option presets, a delay in real time across
// midnight, a month's end and a clock put forward, and every fault named with its option.
#include <gtest/gtest.h>

#include <vector>

#include "scheduler/command_line.h"

namespace velmora {
namespace {

using Args = std::vector<std::wstring>;

// 2026-02-28 15:00:00 UTC: 23:00:00 local in a zone 8 hours ahead, which puts its clock
// forward by an hour at 2026-03-01 02:00 (18:00 UTC) and back again at 06:00 (21:00 UTC).
constexpr std::int64_t kNow = 1772290800;
constexpr std::int64_t kClockForward = kNow + 3 * 3600, kClockBack = kNow + 6 * 3600;

// Only the two local days around kNow are asked for.
std::optional<DateTime> FakeLocalAt(std::int64_t utc) {
    const bool summer = utc >= kClockForward && utc < kClockBack;
    const std::int64_t sinceFeb28 = utc - kNow + 23 * 3600 + (summer ? 3600 : 0);
    const bool march = sinceFeb28 >= 86400;
    const int second = static_cast<int>(sinceFeb28 % 86400);
    return DateTime{2026,          march ? 3 : 2,    march ? 1 : 28,
                    second / 3600, second / 60 % 60, second % 60};
}

CommandLineOutcome Read(const Args& args) {
    return ReadCommandLine(args, kNow, FakeLocalAt);
}

TEST(CommandLineTest, PresetsTheTargetTheActionAndTheStart) {
    const struct {
        Args args;
        std::optional<DateTime> target;
        std::optional<ActionOption> option;
        bool start;
    } cases[] = {
        {{L"/in", L"90"}, DateTime{2026, 3, 1, 0, 30, 0}, {}, false},
        {{L"-IN", L"2:59:59", L"/start"}, DateTime{2026, 3, 1, 1, 59, 59}, {}, true},
        {{L"/in", L"3:00:00"}, DateTime{2026, 3, 1, 3, 0, 0}, {}, false},  // 02:00 is skipped
        {{L"/in", L"7:00:00"}, DateTime{2026, 3, 1, 6, 0, 0}, {}, false},  // 05:00-06:00 twice
        {{L"/at", L"2026-02-28 23:00"}, DateTime{2026, 2, 28, 23, 0, 0}, {}, false},
        {{L"/in", L"0"}, DateTime{2026, 2, 28, 23, 0, 0}, {}, false},
        {{L"/at", L"2028-02-29 23:59"}, DateTime{2028, 2, 29, 23, 59, 0}, {}, false},
        {{L"/at", L"2026-06-30 07:00"}, DateTime{2026, 6, 30, 7, 0, 0}, {}, false},
        {{L"/at", L"2026-07-31 07:00"}, DateTime{2026, 7, 31, 7, 0, 0}, {}, false},
        {{L"/at", L"2026-08-31 07:00"}, DateTime{2026, 8, 31, 7, 0, 0}, {}, false},
        {{L"/at", L"2027-02-28 07:00"}, DateTime{2027, 2, 28, 7, 0, 0}, {}, false},
        {{L"/start", L"/at", L"2038-09-24", L"03:14:07"},
         DateTime{2038, 9, 24, 3, 14, 7},
         {},
         true},
        {{L"/at", L"2027-1-1  0:00:00", L"/shutdown"},
         DateTime{2027, 1, 1, 0, 0, 0},
         ActionOption::kOption1,
         false},
        {{L"/restart"}, {}, ActionOption::kOption2, false},
        {{L"/Shutdown-Now", L"/start"}, {}, ActionOption::kOption4, true},
        {{L"-restart-now"}, {}, ActionOption::kOption5, false},
    };
    for (const auto& c : cases) {
        const CommandLineOutcome got = Read(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        ASSERT_EQ(got.kind, CommandLineOutcome::Kind::kPreset)
            << testing::PrintToString(got.message);
        EXPECT_EQ(got.preset.target, c.target);
        EXPECT_EQ(got.preset.option, c.option);
        EXPECT_EQ(got.preset.start, c.start);
    }
    const CommandLineOutcome run = Read({L"/run", L"\"C:\\A B\\b.exe\" -x /y", L"/in", L"1"});
    EXPECT_EQ(run.preset.option, ActionOption::kOption3);
    EXPECT_EQ(run.preset.programText, L"\"C:\\A B\\b.exe\" -x /y");
}

TEST(CommandLineTest, FaultsNameTheOptionAndWhatItTakes) {
    const struct {
        Args args;
        std::wstring named;  // in the message's first line
    } cases[] = {
        {{L"/in"}, L"/in 缺少值：应为 分钟数或 h:mm:ss"},
        {{L"/in", L"/start"}, L"/in 缺少值"},
        {{L"/in", L"1:60:00"}, L"/in “1:60:00”无效"},
        {{L"/in", L"1:00:60"}, L"/in “1:00:60”无效"},
        {{L"/in", L"1:00"}, L"/in “1:00”无效"},
        {{L"/at", L"2026-02-29 10:00"},
         L"/at “2026-02-29 10:00”无效：应为 \"yyyy-mm-dd hh:mm[:ss]\""},
        {{L"/at", L"2026-12-08", L"/start"}, L"/at “2026-12-08”无效"},
        {{L"/at", L"2026-12-08"}, L"无效"},
        {{L"/at", L"2026-13-08 22:00"}, L"无效"},
        {{L"/at", L"2026-00-08 22:00"}, L"无效"},
        {{L"/at", L"2026-06-31 22:00"}, L"无效"},
        {{L"/at", L"2024-02-30 22:00"}, L"无效"},
        {{L"/at", L"2026-012-08 22:00"}, L"无效"},
        {{L"/at", L"02026-12-08 22:00"}, L"无效"},
        {{L"/at", L"2026-12-00 22:00"}, L"无效"},
        {{L"/at", L"2026-12-08 24:00"}, L"无效"},
        {{L"/at", L"2026-12-08 22:60"}, L"无效"},
        {{L"/at", L"2026-12-08 22:00:60"}, L"无效"},
        {{L"/at", L"2026-12-08 22:00:00 x"}, L"无效"},
        {{L"/at", L"2026-02-28 22:59:59"}, L"/at “2026-02-28 22:59:59”已过"},
        {{L"/in", L"6:59:59"}, L"/in “6:59:59”落在时钟回拨后重复的一小时内"},
        {{L"/at", L"2038-09-24 03:14:08"}, L"超出范围"},
        {{L"/run"}, L"/run 缺少值"},
        {{L"/shutdown", L"-restart"}, L"选项 -restart 不能与 /shutdown 同用"},
        {{L"/at", L"2026-12-08 22:00", L"/in", L"5"}, L"/in 不能与 /at 同用"},
        {{L"/start", L"-START"}, L"选项 -START 重复"},
        {{L"-x"}, L"未知选项 -x"},
        {{L"/"}, L"“/”不是选项"},
    };
    for (const auto& c : cases) {
        const CommandLineOutcome got = Read(c.args);
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_EQ(got.kind, CommandLineOutcome::Kind::kError);
        const std::wstring firstLine = got.message.substr(0, got.message.find(L'\n'));
        EXPECT_NE(firstLine.find(c.named), std::wstring::npos) << testing::PrintToString(firstLine);
        EXPECT_NE(got.message.find(CommandLineUsage()), std::wstring::npos);
    }
    const CommandLineOutcome help = Read({L"/stop", L"-?"});
    EXPECT_EQ(help.kind, CommandLineOutcome::Kind::kHelp);
    EXPECT_EQ(help.message, CommandLineUsage());
}

}  // namespace
}  // namespace velmora
