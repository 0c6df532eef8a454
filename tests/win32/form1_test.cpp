// Form1 made in-process: what start-up leaves behind, how a label draws a countdown too long for
// it, and the keyboard's way through the controls; and the Win32 layer under it: the general
// date-and-time text, starting real processes, and stacking child windows.
#include <string>
#include <tuple>
#include <utility>

#include "app/layout.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

using Form1Test = LoadedForm1;

TEST(Form1Load, PresetsTheFieldsFromOneReadingFillsTheListsAndMakesTheCaptureFolder) {
    RecordingRunner runner;
    ScriptedClock clock;  // a second reading would differ in every field
    clock.queued = {{2025, 12, 31, 23, 59, 59}};
    {
        Form1 form(runner, clock);
        form.Load();
        EXPECT_EQ(clock.readings, 1);
        const wchar_t* expected[] = {L"2025", L"12", L"31", L"23", L"59", L"59"};
        const int items[] = {0, 12, 31, 24, 60, 60};
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(form.Combo1(i).Text(), expected[i - 1]) << "Combo1(" << i << ")";
            EXPECT_EQ(form.Combo1(i).ListCount(), items[i - 1]) << "Combo1(" << i << ")";
        }
        EXPECT_EQ(form.Combo1(4).List(23), L"00");
        EXPECT_EQ(form.Timer1().Interval(), 1000);
        EXPECT_EQ(form.Label6().Caption(), L"Velmora自动关机");
        ASSERT_EQ(runner.calls.size(), 1u);
        EXPECT_EQ(runner.calls[0].commandLine, L"cmd.exe /c MD C:\\QORN\\");
        EXPECT_EQ(runner.calls[0].showState, SW_HIDE);
        EXPECT_EQ(runner.calls[0].applicationName, SystemFolder() + L"\\cmd.exe");
        EXPECT_EQ(runner.calls[0].currentFolder, SystemFolder());
    }
    DoEvents();
}

// Three-digit hours wrap the closing mark onto a second line, which the label cuts off: what
// shows is the first line, and nothing outside the label.
TEST_F(Form1Test, ALabelDrawsOnlyItsFirstLineInsideItsRectangle) {
    auto draw = [&](const wchar_t* caption) {
        form->Label2().SetCaption(caption);
        WindowDc screen(nullptr);
        MemoryDc dc(CreateCompatibleDC(screen.Get()));
        BitmapHandle bitmap(CreateCompatibleBitmap(screen.Get(), 389, 221));
        SelectGuard select(dc.Get(), bitmap.Get());
        const RECT all{0, 0, 389, 221};
        FillRect(dc.Get(), &all, form->Me().Gdi().Brush(kPink));
        form->Label2().Paint(dc.Get(), form->Me().Gdi());
        std::vector<COLORREF> pixels(389 * 221);
        for (size_t i = 0; i < pixels.size(); ++i) {
            pixels[i] = GetPixel(dc.Get(), i % 389, i / 389);
        }
        return pixels;
    };
    const std::vector<COLORREF> wrapped = draw(L"▲ 234:01:17 ▲");
    EXPECT_EQ(wrapped, draw(L"▲ 234:01:17"));
    EXPECT_NE(wrapped, draw(L"")) << "nothing drawn";
    const RECT r = ToPixels(form->Label2().Rect());
    for (size_t i = 0; i < wrapped.size(); ++i) {
        const bool inside = PtInRect(&r, {static_cast<LONG>(i % 389), static_cast<LONG>(i / 389)});
        ASSERT_TRUE(inside || wrapped[i] == kPink)
            << "drawn outside at " << i % 389 << "," << i / 389;
    }
}

TEST_F(Form1Test, FocusStartsOnTheFirstFieldAndTabFollowsTheTabOrder) {
    std::vector<HWND> expected;
    for (int i : {2, 3, 1, 4, 5, 6}) {
        expected.push_back(form->Picture1(i).Hwnd());
        expected.push_back(form->Combo1(i).Hwnd());
    }
    expected.push_back(form->Option1().Hwnd());  // the selected option is the group's stop
    expected.push_back(form->Command1().Hwnd());
    expected.push_back(form->Text5().Hwnd());
    expected.push_back(form->Picture1(2).Hwnd());  // and round again
    EXPECT_EQ(GetFocus(), expected[0]);
    for (size_t i = 1; i < expected.size(); ++i) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        DoEvents();
        // The combo box's focus lies in its edit field; the stop is the combo box.
        wchar_t name[32] = {};
        GetClassNameW(GetParent(GetFocus()), name, 32);
        const HWND stop = _wcsicmp(name, L"ComboBox") == 0 ? GetParent(GetFocus()) : GetFocus();
        ASSERT_EQ(stop, expected[i]) << "Tab " << i;
    }
}

// A click is a left press and release over the same label.
TEST_F(Form1Test, ClicksReachTheLabelUnderPressAndRelease) {
    std::vector<std::string> calls;
    form->SetHandlerObserver(
        [&](const Form1::HandlerCall& call) {
            calls.push_back(std::string(call.handler) + "(" + std::to_string(call.index) + ")");
        },
        Form1::ObserverMode::kInsteadOfHandler);
    auto post = [&](UINT message, WPARAM keys, float x) {
        PostMessageW(form->Me().Hwnd(), message, keys, MAKELPARAM(TwipsToPixels(x), 20));
    };
    const float kStart = 2950, kExit = 3300, kStar = 1850;  // on the top bar
    const std::tuple<bool, float, float> clicks[] = {
        {true, kStart, kStart}, {true, kStart, kExit}, {false, kExit, kExit}, {true, kStar, kStar}};
    for (const auto& [left, xDown, xUp] : clicks) {
        post(left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, xDown);
        post(left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, xUp);
    }
    DoEvents();
    EXPECT_EQ(calls, (std::vector<std::string>{"LabelGN_Click(3)", "LabelGN_Click(1)"}));
}

TEST(Clock, GeneralTextLeavesTheTimeOutAtMidnight) {
    const std::wstring midnight = GeneralDateTimeText({2026, 5, 7, 0, 0, 0});
    EXPECT_EQ(midnight.find(L' '), std::wstring::npos) << "the date alone";
    EXPECT_NE(midnight.find(L"2026"), std::wstring::npos);
    const std::wstring later = GeneralDateTimeText({2026, 5, 7, 14, 35, 52});
    EXPECT_EQ(later.substr(0, midnight.size() + 1), midnight + L" ");
    EXPECT_NE(later.find(L"35"), std::wstring::npos);
    EXPECT_NE(later.find(L"52"), std::wstring::npos);
}

// That the command runs shows end to end; here: no handle kept, and a failure told.
TEST(ProcessRunner, ClosesItsHandlesAndReportsAFailedStart) {
    const LiveHandles before = CountLiveHandles();
    ProcessRunner runner;
    runner.Start({L"cmd.exe /c exit", SW_HIDE, {}, {}});
    EXPECT_TRUE(runner.LastStarted());
    runner.Start({L"no-such-program-velmora.exe", SW_HIDE, {}, {}});
    EXPECT_FALSE(runner.LastStarted());
    EXPECT_EQ(CountLiveHandles(), before) << "process or thread handle left open";
}

// The child windows front to back, each with whether it starts a group.
using Stack = std::vector<std::pair<HWND, bool>>;
Stack ChildrenFrontToBack(HWND parent) {
    Stack children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back({child, (GetWindowLongPtrW(child, GWL_STYLE) & WS_GROUP) != 0});
    }
    return children;
}

// The stacking is left alone when it is right already, so that must be told from a wrong one.
TEST(Container, ArrangesWindowedChildrenFrontToBackAndGroupsFromTheFrontmost) {
    GdiCache gdi;
    Form form(gdi, FormOptions{L"stacking", 1500, 1500, kPink, 0});
    const TwipsRect rect{0, 0, 300, 300};
    Frame a(form, rect, kPink), b(form, rect, kPink), c(form, rect, kPink);
    form.ArrangeWindowedChildren({c.Hwnd(), a.Hwnd(), b.Hwnd()});
    EXPECT_EQ(ChildrenFrontToBack(form.Hwnd()),
              (Stack{{c.Hwnd(), true}, {a.Hwnd(), false}, {b.Hwnd(), false}}));
    // In order among themselves but not rearmost: they go behind the other child.
    form.ArrangeWindowedChildren({c.Hwnd(), a.Hwnd()});
    EXPECT_EQ(ChildrenFrontToBack(form.Hwnd()),
              (Stack{{b.Hwnd(), false}, {c.Hwnd(), true}, {a.Hwnd(), false}}));
}

}  // namespace
}  // namespace velmora
