// Where the ticks fall: the arithmetic of the next turn, the timer against the wall clock, and
// the tick at once after the clock is changed or the computer wakes.
#include "platform/timer.h"
#include "platform/tick_schedule.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

TEST(TickSchedule, TicksAreAskedForJustAfterTheNextTurn) {
    EXPECT_EQ(NextTurnMs(12'000, 1000), 13'000) << "on a turn: the next one";
    EXPECT_EQ(NextTurnMs(12'999, 1000), 13'000);
    EXPECT_EQ(NextTurnMs(13'390'000'123'456, 1000), 13'390'000'124'000);
    EXPECT_EQ(NextTurnMs(12'001, 30), 12'030);
    EXPECT_EQ(DelayUntilMs(12'004, 13'000), 996 + kTickSlackMs);
    EXPECT_EQ(DelayUntilMs(15'500, 13'000), 0) << "a turn already gone is due at once";
    EXPECT_TRUE(IsEarly(12'998, 13'000, 1000));
    EXPECT_FALSE(IsEarly(13'000, 13'000, 1000));
    EXPECT_FALSE(IsEarly(11'000, 13'000, 1000)) << "the clock was set back: tick now";
    // Where a tick may end and leave the Windows timer running on its period.
    EXPECT_TRUE(IsJustAfterTurn(13'000, 1000));
    EXPECT_TRUE(IsJustAfterTurn(13'000 + kTickSlackMs + kOnTurnToleranceMs, 1000));
    EXPECT_FALSE(IsJustAfterTurn(13'001 + kTickSlackMs + kOnTurnToleranceMs, 1000));
    EXPECT_FALSE(IsJustAfterTurn(12'999, 1000)) << "before the turn is the end of the period";
}

void PumpFor(DWORD milliseconds) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(2)) {
        DoEvents();
    }
}

class TimerTest : public LoadedForm1 {
  protected:
    // Replaces the tick's handler with `onTick`.
    void OnTick(std::function<void()> onTick) {
        form->SetHandlerObserver(
            [onTick](const Form1::HandlerCall& call) {
                if (call.handler == "Timer1_Timer") {
                    onTick();
                }
            },
            Form1::ObserverMode::kInsteadOfHandler);
    }
};

TEST_F(TimerTest, TicksLandJustAfterEachSecondAndResumeSoAfterALongTick) {
    std::vector<std::int64_t> at;
    OnTick([&] {
        at.push_back(WallClockMs());
        if (at.size() == 2) {
            PumpFor(1500);  // like the grace wait: messages go on, the timer's own are dropped
        }
    });
    // Enough ticks after the long one for a timer left on a wrong period to drift off the turns.
    constexpr size_t kTicks = 8;
    for (DWORD start = GetTickCount(); at.size() < kTicks && GetTickCount() - start < 14000;) {
        PumpFor(50);
    }
    ASSERT_EQ(at.size(), kTicks);
    for (size_t i = 0; i < at.size(); ++i) {
        // A timer running free from when it was set would land anywhere in the second.
        EXPECT_LT(at[i] % 1000, 150) << "tick " << i << " came " << at[i] % 1000 << " ms late";
        if (i > 0) {
            EXPECT_EQ(at[i] / 1000 - at[i - 1] / 1000, i == 2 ? 2 : 1) << "tick " << i;
        }
    }
}

TEST_F(TimerTest, AClockChangeOrAWakeFromSleepTicksAtOnce) {
    int ticks = 0;
    OnTick([&] { ++ticks; });
    const HWND hwnd = form->Me().Hwnd();
    SendMessageW(hwnd, WM_TIMECHANGE, 0, 0);
    SendMessageW(hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(ticks, 2);
    SendMessageW(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    form->Timer1().SetInterval(0);
    SendMessageW(hwnd, WM_TIMECHANGE, 0, 0);
    EXPECT_EQ(ticks, 2) << "a suspend does not tick, nor does a stopped timer";
}

}  // namespace
}  // namespace velmora
