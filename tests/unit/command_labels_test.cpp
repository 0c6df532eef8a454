// Tests of LabelGN_Click's decisions: the three views and the run state it shares with
// the tick, played through a small model of the window's properties.
#include <gtest/gtest.h>

#include <string>

#include "scheduler/command_labels.h"
#include "scheduler/tick.h"

namespace velmora {
namespace {

constexpr float kPanelWidth = 5835, kPanelHeight = 3315;  // Label5
constexpr float kStripWidth = 2045, kStripHeight = 555;   // Label9

enum class View { kFull, kWide, kCompact, kOther };

// The properties of Form1 that the command labels and the tick read and write.
struct Window {
    float width = kPanelWidth;
    float height = kPanelHeight;
    std::wstring labelAM = L"0";
    std::wstring labelGN3 = kStartCaption;
    std::wstring label2 = L"▲ 00:00:00 ▲";
    std::wstring label6 = kProductTitle;
    int interval = 1000;
    bool minimizedAndRestored = false;
    bool ended = false;

    View CurrentView() const {
        if (width == kPanelWidth && height == kPanelHeight)
            return View::kFull;
        if (width == kPanelWidth && height == kStripHeight)
            return View::kWide;
        if (width == kStripWidth && height == kStripHeight)
            return View::kCompact;
        return View::kOther;
    }

    void SetView(View view) {
        width = view == View::kCompact ? kStripWidth : kPanelWidth;
        height = view == View::kFull ? kPanelHeight : kStripHeight;
    }

    void Click(std::int16_t index) {
        const LabelClickEffects effects =
            DecideLabelClick(index, {width, height, kPanelWidth, kPanelHeight, kStripWidth,
                                     kStripHeight, labelGN3, labelAM, interval});
        labelAM = effects.labelAMCaption.value_or(labelAM);
        labelGN3 = effects.labelGN3Caption.value_or(labelGN3);
        label2 = effects.label2Caption.value_or(label2);
        label6 = effects.label6Caption.value_or(label6);
        interval = effects.timerInterval.value_or(interval);
        width = effects.width.value_or(width);
        height = effects.height.value_or(height);
        minimizedAndRestored = effects.minimizeAndRestore;
        ended = effects.endProgram;
    }

    // A due tick with one option selected.
    void Fire(ActionOption option, std::wstring_view programPath) {
        const DueAction action = DecideDueAction(option, programPath);
        interval = action.newTimerInterval.value_or(interval);
        labelAM = action.newRunFlag.value_or(labelAM);
    }
};

struct ViewRow {
    View before;
    View star, settings, collapse, start, pause;
};

class ViewTransitionTest : public ::testing::TestWithParam<ViewRow> {};

TEST_P(ViewTransitionTest, EachLabelLeadsToItsView) {
    const ViewRow& row = GetParam();
    struct {
        std::int16_t index;
        const wchar_t* caption;
        View expected;
    } clicks[] = {{1, kStartCaption, row.star},
                  {2, kStartCaption, row.settings},
                  {0, kStartCaption, row.collapse},
                  {3, kStartCaption, row.start},
                  {3, kPauseCaption, row.pause}};
    for (const auto& click : clicks) {
        Window window;
        window.SetView(row.before);
        window.labelGN3 = click.caption;
        window.Click(click.index);
        EXPECT_EQ(window.CurrentView(), click.expected)
            << "index " << click.index << " from view " << static_cast<int>(row.before);
    }
}

INSTANTIATE_TEST_SUITE_P(AllViews, ViewTransitionTest,
                         ::testing::Values(ViewRow{View::kFull, View::kFull, View::kWide,
                                                   View::kFull, View::kCompact, View::kFull},
                                           ViewRow{View::kWide, View::kCompact, View::kFull,
                                                   View::kCompact, View::kCompact, View::kFull},
                                           ViewRow{View::kCompact, View::kWide, View::kFull,
                                                   View::kCompact, View::kCompact, View::kFull}));

TEST(ViewTest, SizesOutsideTheViewsFollowTheComparisons) {
    Window window;
    window.width = 3000;
    window.height = kStripHeight;
    window.Click(1);  // strip height, a width of neither marker: compact
    EXPECT_EQ(window.CurrentView(), View::kCompact);
    window.Click(1);
    window.Click(1);  // twice more: back where it was
    EXPECT_EQ(window.CurrentView(), View::kCompact);

    window.width = 3000;
    window.height = 1000;
    window.Click(1);
    window.Click(0);
    EXPECT_EQ(window.width, 3000);  // not a strip height: neither "★" nor "▲" acts
    window.Click(2);                // any height but the strip's folds to the wide strip
    EXPECT_EQ(window.CurrentView(), View::kWide);
}

// Each row: the state before (run flag, caption, interval), one click on "启动"/"暂停", and
// the state, view and captions after it.
TEST(RunStateTest, StartAndPauseFollowTheRunStateTable) {
    const struct {
        const char* row;
        const wchar_t *flag, *caption;
        int interval;
        const wchar_t *flagAfter, *captionAfter;
        int intervalAfter;
        View view;
    } rows[] = {
        {"idle: start", L"0", L"启动", 1000, L"2", L"暂停", 1000, View::kCompact},
        {"running: pause", L"2", L"暂停", 1000, L"1", L"启动", 1000, View::kFull},
        {"fired: pause keeps the timer stopped", L"2", L"暂停", 0, L"1", L"启动", 0, View::kFull},
        {"paused after firing: start revives", L"1", L"启动", 0, L"2", L"暂停", 1000,
         View::kCompact},
        {"after a program start: pause", L"1", L"暂停", 1000, L"1", L"启动", 1000, View::kFull},
        {"a caption not exactly start", L"2", L"启动 ", 1000, L"1", L"启动", 1000, View::kFull},
        {"an empty caption", L"2", L"", 1000, L"1", L"启动", 1000, View::kFull},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        Window window;
        window.labelAM = r.flag;
        window.labelGN3 = r.caption;
        window.interval = r.interval;
        window.label2 = L"▲ 08:01:17 ▲";
        window.label6 = L"当前时间:13:58:43";
        window.Click(3);
        EXPECT_EQ(window.labelAM, r.flagAfter);
        EXPECT_EQ(window.labelGN3, r.captionAfter);
        EXPECT_EQ(window.interval, r.intervalAfter);
        EXPECT_EQ(window.CurrentView(), r.view);
        const bool paused = r.view == View::kFull;
        EXPECT_EQ(window.minimizedAndRestored, !paused);
        EXPECT_EQ(window.label2, paused ? L"00:00:00" : L"▲ 08:01:17 ▲");
        EXPECT_EQ(window.label6, paused ? L"Velmora自动关机" : L"当前时间:13:58:43");
    }
}

// The tick's due actions leave the states the table starts from.
TEST(RunStateTest, FiringLeavesTheStatesThatStartAndPauseExpect) {
    for (ActionOption option : {ActionOption::kOption1, ActionOption::kOption2,
                                ActionOption::kOption4, ActionOption::kOption5}) {
        Window window;
        window.Click(3);
        window.Fire(option, L"");
        EXPECT_EQ(window.labelAM, L"2");
        EXPECT_EQ(window.interval, 0);
    }
    Window program;
    program.Click(3);
    program.Fire(ActionOption::kOption3, L"notepad.exe");  // refused: still running
    EXPECT_EQ(program.labelAM, L"2");
    program.Fire(ActionOption::kOption3, L"C:\\tools\\x.exe");
    EXPECT_EQ(program.labelAM, L"1");
    EXPECT_EQ(program.labelGN3, L"暂停");
    EXPECT_EQ(program.interval, 1000);
}

TEST(RunStateTest, ExitEndsFromEveryStateAndOtherIndicesDoNothing) {
    Window running;
    running.Click(3);
    running.Click(4);
    EXPECT_TRUE(running.ended);

    for (std::int16_t index : {-1, 5, 32767, -32768}) {
        Window window;
        window.SetView(View::kWide);
        window.Click(index);
        EXPECT_EQ(window.CurrentView(), View::kWide);
        EXPECT_EQ(window.labelAM, L"0");
        EXPECT_EQ(window.labelGN3, kStartCaption);
        EXPECT_FALSE(window.ended || window.minimizedAndRestored);
    }
}

}  // namespace
}  // namespace velmora
