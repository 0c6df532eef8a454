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
        LabelClickInput input;
        input.width = width;
        input.height = height;
        input.label5Width = kPanelWidth;
        input.label5Height = kPanelHeight;
        input.label9Width = kStripWidth;
        input.label9Height = kStripHeight;
        input.labelGN3Caption = labelGN3;
        input.labelAMCaption = labelAM;
        input.timerInterval = interval;
        const LabelClickEffects effects = DecideLabelClick(index, input);
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

TEST(RunStateTest, StartFromIdleRunsAndShrinksToTheCompactStrip) {
    Window window;
    window.Click(3);
    EXPECT_EQ(window.labelAM, L"2");
    EXPECT_EQ(window.labelGN3, L"暂停");
    EXPECT_EQ(window.interval, 1000);
    EXPECT_EQ(window.CurrentView(), View::kCompact);
    EXPECT_TRUE(window.minimizedAndRestored);
}

TEST(RunStateTest, PauseRestoresTheCaptionsAndTheFullPanel) {
    Window window;
    window.Click(3);
    window.label2 = L"▲ 08:01:17 ▲";
    window.label6 = L"当前时间:13:58:43";
    window.Click(3);
    EXPECT_EQ(window.labelAM, L"1");
    EXPECT_EQ(window.labelGN3, L"启动");
    EXPECT_EQ(window.label2, L"00:00:00");
    EXPECT_EQ(window.label6, L"Velmora自动关机");
    EXPECT_EQ(window.interval, 1000);
    EXPECT_EQ(window.CurrentView(), View::kFull);
    EXPECT_FALSE(window.minimizedAndRestored);
}

TEST(RunStateTest, ShutdownFiresThenPauseKeepsTheTimerStoppedUntilTheNextStart) {
    for (ActionOption option : {ActionOption::kOption1, ActionOption::kOption2,
                                ActionOption::kOption4, ActionOption::kOption5}) {
        Window window;
        window.Click(3);
        window.Fire(option, L"");
        EXPECT_EQ(window.labelAM, L"2");  // fired
        EXPECT_EQ(window.labelGN3, L"暂停");
        EXPECT_EQ(window.interval, 0);

        window.Click(3);  // paused, interval left at 0
        EXPECT_EQ(window.labelAM, L"1");
        EXPECT_EQ(window.labelGN3, L"启动");
        EXPECT_EQ(window.interval, 0);

        window.Click(3);  // running again, the tick revived
        EXPECT_EQ(window.labelAM, L"2");
        EXPECT_EQ(window.interval, 1000);
        // The target is now in the past, so the first tick fires again.
        EXPECT_EQ(DecideTick({2014, 5, 24, 0, 0, 0}, window.labelAM,
                             {L"2014", L"05", L"23", L"22", L"00", L"00"})
                      .kind,
                  TickDecision::Kind::kDue);
    }
}

TEST(RunStateTest, AfterAProgramStartTheFirstClickPausesAndTheSecondStarts) {
    Window window;
    window.Click(3);
    window.Fire(ActionOption::kOption3, L"C:\\tools\\x.exe");
    EXPECT_EQ(window.labelAM, L"1");  // paused after a program start
    EXPECT_EQ(window.labelGN3, L"暂停");
    EXPECT_EQ(window.interval, 1000);
    EXPECT_FALSE(IsRunning(window.labelAM));

    window.Click(3);
    EXPECT_EQ(window.labelAM, L"1");
    EXPECT_EQ(window.labelGN3, L"启动");
    EXPECT_EQ(window.CurrentView(), View::kFull);
    window.Click(3);
    EXPECT_EQ(window.labelAM, L"2");
    EXPECT_EQ(window.labelGN3, L"暂停");
}

TEST(RunStateTest, ARefusedProgramPathLeavesTheScheduleRunning) {
    Window window;
    window.Click(3);
    window.Fire(ActionOption::kOption3, L"notepad.exe");
    EXPECT_EQ(window.labelAM, L"2");
    EXPECT_EQ(window.interval, 1000);
}

TEST(RunStateTest, AnyCaptionButExactlyStartPauses) {
    for (const wchar_t* caption : {L"暂停", L"启动 ", L"", L"Start"}) {
        Window window;
        window.labelGN3 = caption;
        window.labelAM = L"2";
        window.Click(3);
        EXPECT_EQ(window.labelAM, L"1") << testing::PrintToString(std::wstring(caption));
        EXPECT_EQ(window.labelGN3, L"启动");
    }
}

TEST(RunStateTest, ExitEndsFromEveryStateAndOtherIndicesDoNothing) {
    Window running;
    running.Click(3);
    running.Click(4);
    EXPECT_TRUE(running.ended);

    for (std::int16_t index : {-1, 5, 32767, -32768}) {
        Window window;
        window.SetView(View::kWide);
        const Window before = window;
        window.Click(index);
        EXPECT_EQ(window.width, before.width);
        EXPECT_EQ(window.height, before.height);
        EXPECT_EQ(window.labelAM, before.labelAM);
        EXPECT_EQ(window.labelGN3, before.labelGN3);
        EXPECT_EQ(window.interval, before.interval);
        EXPECT_FALSE(window.ended);
        EXPECT_FALSE(window.minimizedAndRestored);
    }
}

}  // namespace
}  // namespace velmora
