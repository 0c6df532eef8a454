// LabelGN_Click on a real Form1: the three views as the window's size in pixels, and what start
// and pause leave on the real controls (the full run-state table is proven on the core).
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

// The views by the window's size in pixels.
using View = std::pair<long, long>;
const View kFull{389, 221}, kWide{389, 37}, kCompact{136, 37};

class CommandsTest : public LoadedForm1 {
  protected:
    // Sized from the markers, as the labels size it.
    void Show(View v) {
        form->Me().SetWidth(v == kCompact ? form->Label9().Width() : form->Label5().Width());
        form->Me().SetHeight(v == kFull ? form->Label5().Height() : form->Label9().Height());
    }
    View Shown() const {
        RECT r{};
        GetWindowRect(form->Me().Hwnd(), &r);
        return {r.right - r.left, r.bottom - r.top};
    }
};

TEST_F(CommandsTest, ViewLabelsSwitchBetweenTheThreeSizes) {
    const struct {
        View before;
        std::int16_t index;
        View after;
    } cases[] = {
        {kFull, 1, kFull},    {kFull, 2, kWide},    {kFull, 0, kFull},
        {kWide, 1, kCompact}, {kWide, 2, kFull},    {kWide, 0, kCompact},
        {kCompact, 1, kWide}, {kCompact, 2, kFull}, {kCompact, 0, kCompact},
    };
    for (const auto& c : cases) {
        Show(c.before);
        form->LabelGN_Click(c.index);
        EXPECT_EQ(Shown(), c.after)
            << "LabelGN(" << c.index << ") from " << ::testing::PrintToString(c.before);
    }
    // "★" twice comes back: the window reports the marker sizes exactly.
    form->LabelGN_Click(1);
    form->LabelGN_Click(1);
    EXPECT_EQ(Shown(), kCompact);
}

TEST_F(CommandsTest, StartAndPauseMoveTheRunStateAndTheView) {
    Show(kWide);
    form->LabelGN_Click(3);
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    EXPECT_EQ(form->LabelGN(3).Caption(), L"暂停");
    EXPECT_EQ(Shown(), kCompact);
    EXPECT_EQ(form->Me().State(), WindowState::kNormal);  // minimised and restored again

    form->Label6().SetCaption(L"当前时间:08:09:06");
    form->LabelGN_Click(3);
    EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
    EXPECT_EQ(form->Label2().Caption(), L"00:00:00");
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");
    EXPECT_EQ(Shown(), kFull);

    EXPECT_TRUE(runner.calls.empty());
}

}  // namespace
}  // namespace velmora
