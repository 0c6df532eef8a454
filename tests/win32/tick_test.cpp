// Timer1_Timer on a real Form1: the texts of each tick, the actions of a due tick, and what
// clicks, option changes and timer messages during the grace wait do to it.
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

const wchar_t kShutdownGrace[] = L"cmd.exe /c shutdown -s -t 20";
const wchar_t kRestartGrace[] = L"cmd.exe /c shutdown -r -t 20";
const wchar_t kShutdownNow[] = L"cmd.exe /c shutdown -s -t 0";
const wchar_t kRestartNow[] = L"cmd.exe /c shutdown -r -t 0";

using Lines = std::vector<std::wstring>;

class TickTest : public LoadedForm1 {
  protected:
    // Started with the target at the present reading, so the next tick is due.
    void StartDue(OptionButton& option) {
        option.SetValue(true);
        SetTarget(clock.now);
        form->LabelGN_Click(3);
    }
    std::wstring CaptureName(const DateTime& t) const {
        return CaptureFilePath(t).substr(std::wstring(kCaptureFolder).size());
    }
};

TEST_F(TickTest, EveryTickShowsTheClockAndOnlyARunningOneTheCountdown) {
    Tick();
    EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));
    EXPECT_EQ(form->Label2().Caption(), L"▲ 00:00:00 ▲");
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");

    SetTarget({2026, 5, 7, 16, 10, 23});  // 8:01:17 after 08:09:06
    form->LabelGN_Click(3);
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 08:01:17 ▲");
    EXPECT_EQ(form->Label6().Caption(), L"当前时间:08:09:06");
    SetTarget({2026, 5, 17, 2, 10, 23});
    clock.now = {2026, 5, 7, 8, 9, 7};
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 234:01:16 ▲") << "hours are not cut to two digits";
    EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));

    form->LabelGN_Click(3);  // pause
    clock.now = {2026, 5, 7, 8, 9, 8};
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"00:00:00");
    EXPECT_EQ(form->Label6().Caption(), L"Velmora自动关机");
    EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));
    EXPECT_EQ(clock.readings, 4) << "one clock reading a tick";
    EXPECT_TRUE(runner.calls.empty());
}

TEST_F(TickTest, AnInvalidTargetFiresNothingUntilTheFieldIsFixed) {
    form->Option4().SetValue(true);
    SetTarget(clock.now);
    form->Combo1(3).SetText(L"O7");  // a letter O for the zero
    form->LabelGN_Click(3);
    Tick();
    EXPECT_EQ(form->Label2().Caption(), L"▲ 时间无效 ▲");
    EXPECT_EQ(form->Label6().Caption(), L"当前时间:08:09:06");
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    EXPECT_EQ(form->Timer1().Interval(), 1000);

    form->Combo1(3).SetText(L"07");
    Tick();
    EXPECT_EQ(Commands(), Lines{kShutdownNow});
}

TEST_F(TickTest, ImmediateActionsRunOneCommandStopTheTimerAndFireAgainAfterARestart) {
    const struct {
        OptionButton* option;
        const wchar_t* command;
    } cases[] = {{&form->Option4(), kShutdownNow}, {&form->Option5(), kRestartNow}};
    for (const auto& c : cases) {
        runner.calls.clear();
        SetTarget({2026, 5, 7, 8, 9, 7});
        c.option->SetValue(true);
        form->LabelGN_Click(3);
        Tick();  // one second before
        EXPECT_TRUE(runner.calls.empty());
        clock.now.second = 7;
        Tick();
        EXPECT_EQ(Commands(), Lines{c.command});
        EXPECT_EQ(form->Timer1().Interval(), 0);
        EXPECT_EQ(form->LabelAM().Caption(), L"2");
        EXPECT_EQ(form->LabelGN(3).Caption(), L"暂停");
        EXPECT_EQ(form->Label2().Caption(), L"▲ 00:00:01 ▲") << "the last countdown stays";

        // Pause keeps the timer stopped; the start after it revives it, and the past target
        // fires again at the first tick.
        form->LabelGN_Click(3);
        EXPECT_EQ(form->Timer1().Interval(), 0);
        form->LabelGN_Click(3);
        EXPECT_EQ(form->Timer1().Interval(), 1000);
        Tick();
        EXPECT_EQ(Commands(), (Lines{c.command, c.command}));
        form->LabelGN_Click(3);
        clock.now.second = 6;
    }
    EXPECT_TRUE(CaptureFiles().empty());
}

TEST_F(TickTest, ProgramStartWaitsForADrivePathThenClearsTheRunFlag) {
    form->Text5().SetText(L"notepad.exe");
    StartDue(form->Option3());
    Tick();
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(form->LabelAM().Caption(), L"2");

    form->Text5().SetText(L"C:\\Program Files\\Velmora Test\\app one.exe");
    Tick();
    EXPECT_EQ(Commands(),
              Lines{L"cmd.exe /c start \"\" \"C:\\Program Files\\Velmora Test\\app one.exe\""});
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
    EXPECT_EQ(form->LabelGN(3).Caption(), L"暂停");
    EXPECT_EQ(form->Timer1().Interval(), 1000);
    Tick();
    EXPECT_EQ(runner.calls.size(), 1u) << "not running any more";
    EXPECT_TRUE(CaptureFiles().empty());
}

TEST_F(TickTest, GracefulActionsCaptureAfterTheCommandThenStopTheTimer) {
    form->SetGracePassesForTesting(3);
    const DateTime captureTime{2026, 5, 7, 8, 9, 11};
    clock.queued = {clock.now, captureTime};
    StartDue(form->Option2());
    Tick();
    EXPECT_EQ(Commands(), Lines{kRestartGrace});
    EXPECT_EQ(clock.readings, 2) << "the tick's reading and the capture's own";
    EXPECT_EQ(CaptureFiles(), Lines{CaptureName(captureTime)});
    EXPECT_EQ(form->Timer1().Interval(), 0);
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
}

TEST_F(TickTest, APauseDuringTheWaitStillCapturesAndStopsTheTimer) {
    form->SetGracePassesForTesting(3);
    StartDue(form->Option1());
    PostClick(kStartPauseX, kCommandY);
    Tick();
    EXPECT_EQ(form->LabelGN(3).Caption(), L"启动");
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
    EXPECT_EQ(Commands(), Lines{kShutdownGrace});
    EXPECT_EQ(CaptureFiles().size(), 1u);
    EXPECT_EQ(form->Timer1().Interval(), 0);
}

TEST_F(TickTest, ExitDuringTheWaitLeavesTheCommandAndTakesNoCapture) {
    form->SetGracePassesForTesting(3);
    StartDue(form->Option1());
    PostClick(kExitX, kCommandY);
    Tick();
    EXPECT_TRUE(form->Me().Ended());
    EXPECT_EQ(Commands(), Lines{kShutdownGrace});
    EXPECT_TRUE(CaptureFiles().empty());
    EXPECT_EQ(clock.readings, 1);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(TickTest, TimerMessagesDuringTheWaitDoNotStartASecondTick) {
    form->SetGracePassesForTesting(3);
    int ticks = 0;
    form->SetHandlerObserver(
        [&](const Form1::HandlerCall& call) { ticks += call.handler == "Timer1_Timer"; },
        Form1::ObserverMode::kBeforeHandler);
    StartDue(form->Option1());
    // Both reach the timer during the wait: its own message and a change of the clock.
    PostMessageW(form->Me().Hwnd(), WM_TIMER, form->Timer1().Id(), 0);
    PostMessageW(form->Me().Hwnd(), WM_TIMECHANGE, 0, 0);
    Tick();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(Commands(), Lines{kShutdownGrace});
    EXPECT_EQ(CaptureFiles().size(), 1u);
}

HWND option4 = nullptr;
void CALLBACK ClickOption4(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(option4, BM_CLICK, 0, 0);
}

// The one test with the real wait: 500 passes of 10 ms. An option changed in the middle of it
// is seen by the same tick after the capture.
TEST_F(TickTest, TheRealGraceWaitLastsFiveSecondsAndTheWindowAnswersThroughIt) {
    StartDue(form->Option1());
    option4 = form->Option4().Hwnd();
    const UINT_PTR midway = SetTimer(nullptr, 0, 2500, ClickOption4);
    const DWORD start = GetTickCount();
    Tick();
    const DWORD elapsed = GetTickCount() - start;
    KillTimer(nullptr, midway);
    EXPECT_GE(elapsed, 5000u);
    EXPECT_LT(elapsed, 9000u);
    EXPECT_TRUE(form->Option4().Value());
    EXPECT_EQ(Commands(), (Lines{kShutdownGrace, kShutdownNow}));
    EXPECT_EQ(CaptureFiles().size(), 1u);
    EXPECT_EQ(form->Timer1().Interval(), 0);
}

}  // namespace
}  // namespace velmora
