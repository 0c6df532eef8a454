// Timer1_Timer on a real Form1: the texts of each tick, the actions of a due tick, and what
// clicks, option changes and timer messages during the grace wait do to it.
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

const wchar_t kShutdownGrace[] = L"cmd.exe /c shutdown -s -t 20";
const wchar_t kShutdownNow[] = L"cmd.exe /c shutdown -s -t 0";

class TickTest : public LoadedForm1 {
  protected:
    // Started with the target at the present reading, so the next tick is due.
    void StartDue(OptionButton& option, int gracePasses = 3) {
        option.SetValue(true);
        SetTarget(clock.now);
        form->SetGracePassesForTesting(gracePasses);
        form->LabelGN_Click(3);
    }
};

TEST_F(TickTest, EveryTickShowsTheClockAndARunningOneTheCountdownOrABadTarget) {
    Tick();
    EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));
    EXPECT_EQ(form->Label2().Caption(), L"▲ 00:00:00 ▲");

    SetTarget({2026, 5, 17, 2, 10, 23});
    form->LabelGN_Click(3);
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 234:01:17 ▲") << "hours are not cut to two digits";
    EXPECT_EQ(form->Label6().Caption(), L"当前时间:08:09:06");
    form->Combo1(3).SetText(L"l7");  // a letter l for the digit 1
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 时间无效 ▲");
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    form->Combo1(3).SetText(L"17");
    clock.now = {2026, 5, 7, 13, 9, 7};
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 229:01:16 ▲");
    EXPECT_EQ(form->Label6().Caption(), L"当前时间:13:09:07");

    form->LabelGN_Click(3);  // pause: the clock goes on, the countdown texts stay
    clock.now.second = 8;
    Tick();
    EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));
    EXPECT_EQ(form->Label2().Caption(), L"00:00:00");
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");
    EXPECT_EQ(clock.readings, 5) << "one clock reading a tick";
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(TickTest, ImmediateActionsRunOneCommandStopTheTimerAndFireAgainAfterARestart) {
    const std::pair<OptionButton*, const wchar_t*> cases[] = {
        {&form->Option4(), kShutdownNow}, {&form->Option5(), L"cmd.exe /c shutdown -r -t 0"}};
    for (const auto& [option, command] : cases) {
        runner.calls.clear();
        clock.now.second = 6;
        option->SetValue(true);
        SetTarget({2026, 5, 7, 8, 9, 7});
        form->LabelGN_Click(3);
        Tick();
        clock.now.second = 7;
        Tick();
        EXPECT_EQ(Commands(), Lines{command});
        EXPECT_EQ(form->Timer1().Interval(), 0);
        EXPECT_EQ(form->LabelAM().Caption(), L"2");
        EXPECT_EQ(form->Label2().Caption(), L"▲ 00:00:01 ▲") << "the last countdown stays";

        form->LabelGN_Click(3);  // pause, then start: the past target fires at the first tick
        form->LabelGN_Click(3);
        Tick();
        EXPECT_EQ(Commands(), (Lines{command, command}));
        form->LabelGN_Click(3);
    }
    EXPECT_TRUE(CaptureFiles().empty());
}

// A pause clicked during the wait, the timer's own message and a clock change: the capture is
// still taken, named by its own reading, and the timer stopped, all in the one tick.
TEST_F(TickTest, EventsDuringTheWaitNeitherStopTheCaptureNorTickAgain) {
    int ticks = 0;
    form->SetHandlerObserver(
        [&](const Form1::HandlerCall& call) { ticks += call.handler == "Timer1_Timer"; },
        Form1::ObserverMode::kBeforeHandler);
    clock.queued = {clock.now, {2026, 5, 7, 8, 9, 11}};
    StartDue(form->Option2());
    PostClick(kStartPauseX, kCommandY);
    PostMessageW(form->Me().Hwnd(), WM_TIMER, form->Timer1().Id(), 0);
    PostMessageW(form->Me().Hwnd(), WM_TIMECHANGE, 0, 0);
    Tick();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(Commands(), Lines{L"cmd.exe /c shutdown -r -t 20"});
    EXPECT_EQ(CaptureFiles(), Lines{L"20260507080911.BMP"});
    EXPECT_EQ(form->Timer1().Interval(), 0);
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
    EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
}

TEST_F(TickTest, ExitDuringTheWaitLeavesTheCommandAndTakesNoCapture) {
    StartDue(form->Option1());
    PostClick(kExitX, kCommandY);
    Tick();
    EXPECT_TRUE(form->Me().Ended());
    EXPECT_FALSE(IsWindow(form->Me().Hwnd()));
    EXPECT_EQ(Commands(), Lines{kShutdownGrace});
    EXPECT_TRUE(CaptureFiles().empty());
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

HWND option4 = nullptr;
void CALLBACK ClickOption4(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(option4, BM_CLICK, 0, 0);
}

// The one test with the real wait of 500 passes of 10 ms. An option selected in the middle of
// it is seen by the same tick after the capture.
TEST_F(TickTest, TheRealGraceWaitLastsFiveSecondsAndTheWindowAnswersThroughIt) {
    StartDue(form->Option1(), kGracePasses);
    option4 = form->Option4().Hwnd();
    SetTimer(nullptr, 0, 2500, ClickOption4);
    const DWORD start = GetTickCount();
    Tick();
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 9000u);
    EXPECT_EQ(Commands(), (Lines{kShutdownGrace, kShutdownNow}));
    EXPECT_EQ(CaptureFiles().size(), 1u);
    EXPECT_EQ(form->Timer1().Interval(), 0);
}

}  // namespace
}  // namespace velmora
