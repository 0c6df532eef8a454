// Form1 made in-process with a recording process starter and a set clock: what start-up leaves
// behind, pointer input sent as real window messages, keyboard focus, painting, and leaks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/layout.h"
#include "app/start_up.h"
#include "platform/message_loop.h"
#include "ui/twips.h"

namespace velmora {
namespace {

// A clock that moves on one second at every reading, across the turn of a year.
class TickingClock : public Clock {
  public:
    DateTime Now() override {
        ++readings;
        return readings == 1 ? DateTime{2026, 12, 31, 23, 59, 59} : DateTime{2027, 1, 1, 0, 0, 0};
    }
    int readings = 0;
};

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { form = std::make_unique<Form1>(runner, clock); }
    void TearDown() override {
        form.reset();
        DoEvents();
    }
    // Loads the form, then records the handler calls instead of running the handlers.
    void Load() {
        // The real pointer goes out of the way: Windows sends a window under it a mouse move
        // of its own when the capture ends, which would mix with the messages posted here.
        SetCursorPos(900, 700);
        form->Load();
        DoEvents();
        form->SetHandlerObserver([this](const Form1::HandlerCall& call) { calls.push_back(call); },
                                 Form1::ObserverMode::kInsteadOfHandler);
    }
    std::vector<std::string> HandlerNames() const {
        std::vector<std::string> names;
        for (const auto& call : calls) {
            names.emplace_back(call.handler);
        }
        return names;
    }
    // Pixel position, in the client area of `window`, of a point given in its twips.
    static LPARAM At(float xTwips, float yTwips) {
        return MAKELPARAM(TwipsToPixels(xTwips), TwipsToPixels(yTwips));
    }

    RecordingRunner runner;
    ManualClock clock{DateTime{2026, 5, 7, 8, 9, 6}};
    std::unique_ptr<Form1> form;
    std::vector<Form1::HandlerCall> calls;
};

TEST_F(Form1Test, LoadTurnsTheLaidOutWindowIntoTheSeeThroughPanel) {
    HWND hwnd = form->Me().Hwnd();
    // As laid out: hidden, not layered, no timer.
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(form->Timer1().Interval(), 0);
    Load();

    LONG exStyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "the extended style lost its other bits";
    LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x282828u);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_EQ(after.left, 0);
    EXPECT_EQ(after.top, 0);
    EXPECT_EQ(after.right, 389);
    EXPECT_EQ(after.bottom, 221);
    EXPECT_EQ(form->Me().BackColour(), kKeyColour);

    wchar_t title[64] = {};
    GetWindowTextW(hwnd, title, 64);
    EXPECT_STREQ(title, L"Velmora自动关机");
}

TEST_F(Form1Test, LoadLeavesTheControlsInTheirStartingState) {
    Load();
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");
    EXPECT_EQ(form->Timer1().Interval(), 1000);
    EXPECT_TRUE(form->Timer1().Enabled());
    const wchar_t* expected[] = {L"2026", L"05", L"07", L"08", L"09", L"06"};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(form->Combo1(i).Text(), expected[i - 1]) << "Combo1(" << i << ")";
    }
    EXPECT_EQ(form->LabelAM().Caption(), L"0");
    EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
    EXPECT_EQ(form->Label2().Caption(), L"▲ 00:00:00 ▲");
    EXPECT_EQ(form->LabelS().Caption(), L"※※※※※");
    EXPECT_TRUE(form->Option1().Value());
    EXPECT_FALSE(form->Option2().Value() || form->Option3().Value() || form->Option4().Value() ||
                 form->Option5().Value());

    // The first command started is the capture folder, hidden, and nothing else.
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0].commandLine, L"cmd.exe /c MD C:\\QORN\\");
    EXPECT_EQ(runner.calls[0].showState, SW_HIDE);
}

TEST(Form1Load, PresetsAllSixFieldsFromOneClockReading) {
    RecordingRunner runner;
    TickingClock clock;
    {
        Form1 form(runner, clock);
        form.Load();
        // Read at 2026-12-31 23:59:59; a second reading would give 2027-01-01 00:00:00.
        EXPECT_EQ(clock.readings, 1);
        EXPECT_EQ(form.Combo1(1).Text(), L"2026");
        EXPECT_EQ(form.Combo1(2).Text(), L"12");
        EXPECT_EQ(form.Combo1(6).Text(), L"59");
    }
    DoEvents();
}

TEST_F(Form1Test, CombosHoldTheirItemsInOrderAndTakeAnyText) {
    Load();
    EXPECT_EQ(form->Combo1(1).ListCount(), 0);
    ASSERT_EQ(form->Combo1(4).ListCount(), 24);
    EXPECT_EQ(form->Combo1(4).List(0), L"01");
    EXPECT_EQ(form->Combo1(4).List(22), L"23");
    EXPECT_EQ(form->Combo1(4).List(23), L"00");
    ASSERT_EQ(form->Combo1(5).ListCount(), 60);
    EXPECT_EQ(form->Combo1(5).List(59), L"00");
    EXPECT_EQ(form->Combo1(6).List(59), L"00");
    EXPECT_EQ(form->Combo1(2).ListCount(), 12);
    EXPECT_EQ(form->Combo1(3).List(30), L"31");
    // Longer than the field shows, and no number at all: kept as typed.
    const std::wstring text = L"abc 2026 一二三四五六七八九十 xyz 0123456789";
    form->Combo1(1).SetText(text);
    EXPECT_EQ(form->Combo1(1).Text(), text);
}

TEST_F(Form1Test, ClickOnStartReachesLabelGNWithIndex3) {
    Load();
    HWND hwnd = form->Me().Hwnd();
    // "启动" is right-aligned at the right end of LabelGN(3): 2475..3000 x 225..405 twips.
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(2950, 300));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, At(2950, 300));
    DoEvents();
    ASSERT_EQ(calls.size(), 1u) << ::testing::PrintToString(HandlerNames());
    EXPECT_EQ(calls[0].handler, "LabelGN_Click");
    EXPECT_EQ(calls[0].index, 3);

    // Pressed over "启动" and released over "退出": no click at all.
    calls.clear();
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(2950, 300));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, At(3300, 300));
    // The right button does not click either.
    PostMessageW(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, At(3300, 300));
    PostMessageW(hwnd, WM_RBUTTONUP, 0, At(3300, 300));
    DoEvents();
    EXPECT_TRUE(HandlerNames().empty());

    // The link and "★" have handlers of their own.
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(2800, 2850));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, At(2800, 2850));
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(1850, 300));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, At(1850, 300));
    DoEvents();
    ASSERT_EQ(HandlerNames(), (std::vector<std::string>{"Label12_Click", "LabelGN_Click"}));
    EXPECT_EQ(calls[1].index, 1);
}

TEST_F(Form1Test, PointerMovesReachTheGripsWithTheirOwnCoordinates) {
    Load();
    HWND hwnd = form->Me().Hwnd();
    // Over Label2's text: Label5 lies in front, at the window's corner.
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, At(300, 255));
    DoEvents();
    ASSERT_EQ(HandlerNames(), std::vector<std::string>{"Label5_MouseMove"});
    EXPECT_EQ(calls[0].pointer.x, 300.0f);
    EXPECT_EQ(calls[0].pointer.y, 255.0f);
    EXPECT_EQ(calls[0].pointer.button, 0);

    // A frame's uncovered edge reaches the frame, in the frame's own twips; its inner area,
    // covered by Label8(1), reaches no handler.
    calls.clear();
    HWND frame1 = form->Frame1().Hwnd();
    PostMessageW(frame1, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, At(45, 600));
    PostMessageW(frame1, WM_MOUSEMOVE, 0, At(1200, 1700));
    DoEvents();
    ASSERT_EQ(HandlerNames(), std::vector<std::string>{"Frame1_MouseMove"});
    EXPECT_EQ(calls[0].pointer.x, 45.0f);
    EXPECT_EQ(calls[0].pointer.y, 600.0f);
    EXPECT_EQ(calls[0].pointer.button, 1);
    EXPECT_EQ(calls[0].pointer.shift, 1);

    // Once pressed on Label5, the moves stay with it, also beyond its rectangle.
    calls.clear();
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, At(150, 3000));
    PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-10, 2));
    PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, At(2950, 300));  // over "启动"
    PostMessageW(hwnd, WM_LBUTTONUP, 0, At(2950, 300));
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, At(2950, 300));
    DoEvents();
    ASSERT_EQ(HandlerNames(), (std::vector<std::string>{"Label5_MouseMove", "Label5_MouseMove"}));
    EXPECT_EQ(calls[0].pointer.x, -150.0f);
    EXPECT_EQ(calls[1].pointer.button, 3);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Form1Test, LabelsKeepTheirRectangleAndCutOffWrappedLines) {
    Load();
    Label& label2 = form->Label2();
    const TwipsRect before = label2.Rect();
    // Draws the label alone on a pink surface and returns the white pixels.
    auto whitePixels = [&](const std::wstring& caption) {
        label2.SetCaption(caption);
        HDC screen = GetDC(nullptr);
        MemoryDc dc(CreateCompatibleDC(screen));
        BitmapHandle bitmap(CreateCompatibleBitmap(screen, 389, 221));
        ReleaseDC(nullptr, screen);
        std::vector<POINT> white;
        SelectGuard select(dc.Get(), bitmap.Get());
        RECT all{0, 0, 389, 221};
        FillRect(dc.Get(), &all, form->Me().Gdi().Brush(kPink));
        label2.Paint(dc.Get(), form->Me().Gdi());
        for (int y = 0; y < 221; ++y) {
            for (int x = 0; x < 389; ++x) {
                if (GetPixel(dc.Get(), x, y) == kWhite) {
                    white.push_back({x, y});
                }
            }
        }
        return white;
    };
    std::vector<POINT> threeDigitHours = whitePixels(L"▲ 234:01:17 ▲");
    EXPECT_EQ(label2.Rect().width, before.width);
    EXPECT_EQ(label2.Rect().height, before.height);
    ASSERT_FALSE(threeDigitHours.empty()) << "nothing drawn";
    RECT r = ToPixels(before);
    for (const POINT& p : threeDigitHours) {
        ASSERT_TRUE(p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom)
            << "drawn outside the label at " << p.x << "," << p.y;
    }
    // The closing mark wrapped onto the cut-off second line: what shows is the first line.
    std::vector<POINT> firstLineOnly = whitePixels(L"▲ 234:01:17");
    ASSERT_EQ(threeDigitHours.size(), firstLineOnly.size());
    for (size_t i = 0; i < firstLineOnly.size(); ++i) {
        EXPECT_TRUE(threeDigitHours[i].x == firstLineOnly[i].x &&
                    threeDigitHours[i].y == firstLineOnly[i].y);
    }
}

TEST_F(Form1Test, FocusStartsOnTheFirstFieldAndTabFollowsTheTabOrder) {
    Load();
    EXPECT_EQ(GetFocus(), form->Picture1(2).Hwnd());

    std::vector<HWND> expected;
    for (int i : {2, 3, 1, 4, 5, 6}) {
        expected.push_back(form->Picture1(i).Hwnd());
        expected.push_back(form->Combo1(i).Hwnd());
    }
    expected.push_back(form->Option1().Hwnd());  // the selected option is the group's stop
    expected.push_back(form->Command1().Hwnd());
    expected.push_back(form->Text5().Hwnd());
    expected.push_back(form->Picture1(2).Hwnd());  // and round again
    expected.erase(expected.begin());              // where the focus starts

    // The combo box's focus lies in its edit field; the stop is the combo box.
    auto holder = [&](HWND focus) {
        HWND parent = GetParent(focus);
        wchar_t name[32] = {};
        GetClassNameW(parent, name, 32);
        return _wcsicmp(name, L"ComboBox") == 0 ? parent : focus;
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        DoEvents();
        ASSERT_EQ(holder(GetFocus()), expected[i]) << "Tab " << i + 1;
    }
}

TEST(Form1Lifetime, ReleasesEveryHandleItMade) {
    const LiveHandles before = CountLiveHandles();
    {
        RecordingRunner runner;
        ManualClock clock{DateTime{2026, 5, 7, 8, 9, 6}};
        Form1 form(runner, clock);
        form.Load();
        DoEvents();
        const LiveHandles loaded = CountLiveHandles();
        EXPECT_EQ(loaded.windows, before.windows + 9) << "the form, two frames, six pictures";
        EXPECT_GT(loaded.fonts, before.fonts);
        for (int i = 0; i < 10; ++i) {
            form.Label2().SetCaption(L"▲ 0" + std::to_wstring(i) + L":00:00 ▲");
            InvalidateRect(form.Me().Hwnd(), nullptr, FALSE);
            UpdateWindow(form.Me().Hwnd());
            UpdateWindow(form.Frame1().Hwnd());
        }
        EXPECT_EQ(CountLiveHandles(), loaded) << "painting holds on to objects";
    }
    DoEvents();
    EXPECT_EQ(CountLiveHandles(), before);
}

TEST(Form1Lifetime, EndProgramDestroysTheWindowAndQuits) {
    RecordingRunner runner;
    ManualClock clock;
    Form1 form(runner, clock);
    form.Load();
    HWND hwnd = form.Me().Hwnd();
    form.Me().EndProgram();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(form.Me().Ended());
    EXPECT_FALSE(DoEvents());
    // DoEvents leaves the quit for the main loop; take it off the queue here.
    MSG msg{};
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace velmora
