// Dragging the window by its grips with real WM_MOUSEMOVE messages, and the web link, in a
// Form1 made in-process with a recording process starter.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/message_loop.h"

namespace velmora {
namespace {

class GripsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<Form1>(runner, clock);
        // Out of the way: a window under the real pointer gets mouse moves of its own.
        SetCursorPos(900, 700);
        form->Load();
        DoEvents();
    }
    void TearDown() override {
        form.reset();
        DoEvents();
    }

    POINT WindowAt() const {
        RECT r{};
        GetWindowRect(form->Me().Hwnd(), &r);
        return {r.left, r.top};
    }
    SIZE WindowSize() const {
        RECT r{};
        GetWindowRect(form->Me().Hwnd(), &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    // A mouse message at a pixel point of `window`'s client area, handled before returning.
    static void Send(HWND window, UINT message, WPARAM keys, int x, int y) {
        PostMessageW(window, message, keys, MAKELPARAM(x, y));
        DoEvents();
    }
    // Rests the pointer on a grip at (x, y) with no button, then moves it by (dx, dy) with
    // `keys` held; returns how far the window moved.
    POINT RestThenMove(HWND grip, int x, int y, WPARAM keys, int dx, int dy) {
        Send(grip, WM_MOUSEMOVE, 0, x, y);
        const POINT before = WindowAt();
        Send(grip, WM_MOUSEMOVE, keys, x + dx, y + dy);
        const POINT after = WindowAt();
        return {after.x - before.x, after.y - before.y};
    }

    RecordingRunner runner;
    ManualClock clock{DateTime{2026, 5, 7, 8, 9, 6}};
    std::unique_ptr<Form1> form;
};

// Pixel points, in each grip's own client area, where that grip takes the pointer: the bare
// left edge of the frames, and the pink of the large box below them for Label5.
struct Grip {
    const char* name;
    HWND window;
    POINT point;
};

std::vector<Grip> Grips(Form1& form) {
    return {{"Frame1", form.Frame1().Hwnd(), {3, 40}},
            {"Frame2", form.Frame2().Hwnd(), {4, 60}},
            {"Label5", form.Me().Hwnd(), {60, 200}}};
}

TEST_F(GripsTest, LeftDragMovesByThePointerOffsetAndThePressedGripKeepsThePointer) {
    const SIZE size = WindowSize();
    for (const Grip& grip : Grips(*form)) {
        SCOPED_TRACE(grip.name);
        const POINT start = WindowAt();
        // 30 twips right and 15 up: two pixels and one.
        POINT moved = RestThenMove(grip.window, grip.point.x, grip.point.y, MK_LBUTTON, 2, -1);
        EXPECT_EQ(moved.x, 2);
        EXPECT_EQ(moved.y, -1);
        EXPECT_EQ(form->Me().Left(), static_cast<float>(start.x * 15 + 30));
        EXPECT_EQ(form->Me().Top(), static_cast<float>(start.y * 15 - 15));
        // The grip moved with the window: the grabbed point is under the pointer again.
        Send(grip.window, WM_MOUSEMOVE, MK_LBUTTON, grip.point.x, grip.point.y);
        EXPECT_EQ(WindowAt().x, start.x + 2);
        EXPECT_EQ(WindowAt().y, start.y - 1);

        // Pressed, the grip captures the pointer, so a fast drag far beyond it still moves.
        Send(grip.window, WM_LBUTTONDOWN, MK_LBUTTON, grip.point.x, grip.point.y);
        EXPECT_EQ(GetCapture(), grip.window);
        Send(grip.window, WM_MOUSEMOVE, MK_LBUTTON, grip.point.x + 500, grip.point.y + 300);
        EXPECT_EQ(WindowAt().x, start.x + 502);
        EXPECT_EQ(WindowAt().y, start.y + 299);
        Send(grip.window, WM_LBUTTONUP, 0, grip.point.x, grip.point.y);
        EXPECT_EQ(GetCapture(), nullptr);
        form->Me().Move(0, 0);
    }
    EXPECT_EQ(WindowSize().cx, size.cx);
    EXPECT_EQ(WindowSize().cy, size.cy);
    EXPECT_TRUE(GetWindowLongW(form->Me().Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(GripsTest, OnlyTheLeftButtonAloneDragsAndOtherButtonsDoNotRemember) {
    // All on the bare left edge of Frame2, 8 pixels wide; further in lies Label8(0).
    HWND frame2 = form->Frame2().Hwnd();
    Send(frame2, WM_MOUSEMOVE, 0, 2, 60);
    const POINT start = WindowAt();
    for (WPARAM keys : {MK_RBUTTON, MK_MBUTTON, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_MBUTTON,
                        MK_RBUTTON | MK_SHIFT}) {
        Send(frame2, WM_MOUSEMOVE, keys, 6, 70);
        EXPECT_EQ(WindowAt().x, start.x) << "keys " << keys;
        EXPECT_EQ(WindowAt().y, start.y) << "keys " << keys;
    }
    // Still measured from the point where the pointer last rested without a button, and the
    // modifier keys do not matter.
    Send(frame2, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 5, 61);
    EXPECT_EQ(WindowAt().x, start.x + 3);
    EXPECT_EQ(WindowAt().y, start.y + 1);
    Send(frame2, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, 6, 61);
    EXPECT_EQ(WindowAt().x, start.x + 7);
}

TEST_F(GripsTest, EachGripRemembersItsOwnPoint) {
    HWND frame1 = form->Frame1().Hwnd();
    HWND frame2 = form->Frame2().Hwnd();
    HWND form1 = form->Me().Hwnd();
    // A grip that never saw the pointer rest measures from its corner: entered with the left
    // button already held, Frame2 jumps by the whole (4, 6).
    POINT start = WindowAt();
    Send(frame2, WM_MOUSEMOVE, MK_LBUTTON, 4, 6);
    EXPECT_EQ(WindowAt().x, start.x + 4);
    EXPECT_EQ(WindowAt().y, start.y + 6);

    Send(frame1, WM_MOUSEMOVE, 0, 3, 40);
    Send(frame2, WM_MOUSEMOVE, 0, 5, 100);
    Send(form1, WM_MOUSEMOVE, 0, 60, 200);
    start = WindowAt();
    Send(frame1, WM_MOUSEMOVE, MK_LBUTTON, 4, 40);   // +1, 0 from Frame1's own point
    Send(frame2, WM_MOUSEMOVE, MK_LBUTTON, 5, 102);  // 0, +2 from Frame2's
    Send(form1, WM_MOUSEMOVE, MK_LBUTTON, 63, 200);  // +3, 0 from Label5's
    EXPECT_EQ(WindowAt().x, start.x + 4);
    EXPECT_EQ(WindowAt().y, start.y + 2);
}

// Whether the window stays as it was is left to the end-to-end test, which compares pixels.
TEST_F(GripsTest, LinkStartsTheBrowserWithTheAddress) {
    // On the caption of Label12, which lies in front of Label5.
    Send(form->Me().Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 2800 / 15, 2850 / 15);
    Send(form->Me().Hwnd(), WM_LBUTTONUP, 0, 2800 / 15, 2850 / 15);
    ASSERT_EQ(runner.calls.size(), 2u);  // after start-up's folder command
    // By its full path, quoted in the command line so that the address is the only argument.
    EXPECT_EQ(runner.calls.back().applicationName,
              L"C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(runner.calls.back().commandLine,
              L"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" velmora.test");
    EXPECT_EQ(runner.calls.back().showState, SW_SHOWNORMAL);
}

}  // namespace
}  // namespace velmora
