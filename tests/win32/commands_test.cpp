// LabelGN_Click on a real Form1: the three views as the window's pixel size, and the run state
// that start, pause and exit leave behind.
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

enum class View { kFull, kWide, kCompact };

const char* Name(View v) {
    return v == View::kFull ? "full panel" : v == View::kWide ? "wide strip" : "compact strip";
}

class CommandsTest : public LoadedForm1 {
  protected:
    void Show(View v) {
        Form& me = form->Me();
        me.SetWidth(v == View::kCompact ? form->Label9().Width() : form->Label5().Width());
        me.SetHeight(v == View::kFull ? form->Label5().Height() : form->Label9().Height());
    }
    // The window's size in pixels, against the three views.
    static ::testing::AssertionResult Is(View v, SIZE size) {
        const SIZE expected = v == View::kFull   ? SIZE{389, 221}
                              : v == View::kWide ? SIZE{389, 37}
                                                 : SIZE{136, 37};
        if (size.cx == expected.cx && size.cy == expected.cy) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << size.cx << " x " << size.cy << " is not the " << Name(v);
    }
};

TEST_F(CommandsTest, ViewLabelsSwitchBetweenTheThreeSizes) {
    const struct {
        View before;
        std::int16_t index;
        View after;
    } cases[] = {
        {View::kFull, 1, View::kFull},       {View::kFull, 2, View::kWide},
        {View::kFull, 0, View::kFull},       {View::kWide, 1, View::kCompact},
        {View::kWide, 2, View::kFull},       {View::kWide, 0, View::kCompact},
        {View::kCompact, 1, View::kWide},    {View::kCompact, 2, View::kFull},
        {View::kCompact, 0, View::kCompact},
    };
    for (const auto& c : cases) {
        Show(c.before);
        form->LabelGN_Click(c.index);
        EXPECT_TRUE(Is(c.after, WindowPixels()))
            << "LabelGN(" << c.index << ") from the " << Name(c.before);
    }
    // "★" twice comes back: the sizes the window reports match the markers exactly.
    Show(View::kCompact);
    form->LabelGN_Click(1);
    form->LabelGN_Click(1);
    EXPECT_TRUE(Is(View::kCompact, WindowPixels()));
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(CommandsTest, StartAndPauseMoveTheRunStateAndTheView) {
    Show(View::kWide);
    form->LabelGN_Click(3);
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    EXPECT_EQ(form->LabelGN(3).Caption(), L"暂停");
    EXPECT_EQ(form->Timer1().Interval(), 1000);
    EXPECT_TRUE(Is(View::kCompact, WindowPixels()));
    EXPECT_EQ(form->Me().State(), WindowState::kNormal);
    EXPECT_TRUE(IsWindowVisible(form->Me().Hwnd()));

    form->Label2().SetCaption(L"▲ 00:00:09 ▲");
    form->Label6().SetCaption(L"当前时间:08:09:06");
    form->LabelGN_Click(3);
    EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
    EXPECT_EQ(form->Label2().Caption(), L"00:00:00");
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");
    EXPECT_EQ(form->Timer1().Interval(), 1000);
    EXPECT_TRUE(Is(View::kFull, WindowPixels()));

    // Fired: the pause leaves the stopped timer stopped, the start revives it.
    form->LabelGN_Click(3);
    form->Timer1().SetInterval(0);
    form->LabelGN_Click(3);
    EXPECT_EQ(form->Timer1().Interval(), 0);
    form->LabelGN_Click(3);
    EXPECT_EQ(form->Timer1().Interval(), 1000);

    // After a program start (flag 1, caption still "暂停"), and with any caption but exactly
    // "启动", a click pauses.
    for (const wchar_t* caption : {L"暂停", L"启动 "}) {
        form->LabelAM().SetCaption(L"1");
        form->LabelGN(3).SetCaption(caption);
        Show(View::kCompact);
        form->LabelGN_Click(3);
        EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
        EXPECT_TRUE(Is(View::kFull, WindowPixels()));
    }
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(CommandsTest, ExitEndsTheProgramAtOnce) {
    SetTarget({2027, 1, 1, 0, 0, 0});
    form->LabelGN_Click(3);
    PostClick(kExitX, kCommandY);
    EXPECT_FALSE(DoEvents());
    EXPECT_TRUE(form->Me().Ended());
    EXPECT_FALSE(IsWindow(form->Me().Hwnd()));
    EXPECT_TRUE(runner.calls.empty());
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace velmora
