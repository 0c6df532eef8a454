// Soak of a real Form1 over many simulated seconds: no object left alive and no memory grown, and
// proof that a leak of one GDI object a tick would show. Its "soak:" lines are the bench's figures.
#include <windows.h>
// psapi.h only after windows.h
#include <psapi.h>

#include <iostream>
#include <vector>

#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

// After the first program path (the text box's buffer) and the second capture: the first makes
// the persistent image, and under Wine64 the second still takes one step of about 124 KB of
// private memory (then flat to the end); the 32-bit build is flat from the first.
constexpr int kWarmUp = 450;
constexpr int kSeconds = kWarmUp + 1800;  // 30 minutes of measured ticks after it
constexpr SIZE_T kHeapSlack = 4096;
// Between what the ticks themselves add under Wine (16-20 KB, once) and what one leaked brush a
// tick adds over the measured ticks (52-56 KB).
constexpr SIZE_T kPrivateSlack = 36 * 1024;

// Counts the command lines instead of keeping them, so as not to grow the heap it measures.
class CountingRunner : public CommandRunner {
  public:
    void Start(const ProcessStart& start) override { count += start.showState == SW_HIDE; }
    int count = 0;
};

// Bytes in busy blocks of every heap of the process: finer than the private memory for what the
// program itself allocates.
SIZE_T HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T busy = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry{};
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? entry.cbData : 0;
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

// Private memory. Wine 8 leaves PrivateUsage 0 and gives the anonymous resident memory as
// PagefileUsage, which also holds the GDI and USER objects that Wine's Unix side allocates.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

void Repaint(Form1& form) {
    RedrawWindow(form.Me().Hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DoEvents();
}

// Memory is compared in one view: what Windows and Wine hold for a window depends on its size.
void ShowFullPanel(Form1& form) {
    if (form.Me().Height() != form.Label5().Height()) {
        form.LabelGN_Click(2);  // "设置" from either strip
    }
    Repaint(form);
}

TEST(SoakTest, TicksLeaveNoObjectAliveAndNoMemoryGrown) {
    RemoveCaptureFolder();
    CreateDirectoryW(kCaptureFolder, nullptr);
    SetCursorPos(900, 700);
    const LiveHandles before = CountLiveHandles();
    ScriptedClock clock;
    CountingRunner runner;
    LiveHandles warm;
    SIZE_T warmHeap = 0, warmPrivate = 0;
    int firings = 0;
    const DWORD began = GetTickCount();
    {
        Form1 form(runner, clock);
        form.Load();
        form.SetGraceWaitForTesting(100);  // 100 ms for each graceful action instead of 5 s
        runner.count = 0;                  // the capture folder's command at start-up
        const DateTime farTarget{2026, 5, 7, 23, 0, 0};
        SetTargetFields(form, farTarget);
        form.LabelGN_Click(3);  // start
        OptionButton* const options[] = {&form.Option1(), &form.Option3(), &form.Option2(),
                                         &form.Option4(), &form.Option5()};
        form.Text5().SetText(SystemFolder() + L"\\cmd.exe");  // a program that exists
        for (int second = 1; second <= kSeconds; ++second) {
            clock.now.second = (clock.now.second + 1) % 60;
            clock.now.minute += clock.now.second == 0;
            form.Timer1().Fire();
            Repaint(form);
            if (second % 150 == 10) {  // an action made due, fired by the next tick
                options[second / 150 % 5]->SetValue(true);
                SetTargetFields(form, clock.now);
                ++firings;
            } else if (second % 150 == 11) {  // the far target again; pause and start revive it
                PumpFor(150);                 // a graceful action's capture, after its wait
                SetTargetFields(form, farTarget);
                form.LabelGN_Click(3);
                form.LabelGN_Click(3);
            } else if (second % 37 == 0) {
                form.LabelGN_Click(1);  // "★"
            } else if (second % 53 == 0) {
                form.LabelGN_Click(2);  // "设置"
            }
            if (second == kWarmUp) {
                ShowFullPanel(form);
                warm = CountLiveHandles();
                warmHeap = HeapBytesInUse();
                warmPrivate = PrivateBytes();
            }
        }
        ShowFullPanel(form);
        // Still counting down, the texts of the last tick showing.
        EXPECT_EQ(form.LabelS().Caption(), GeneralDateTimeText(clock.now));
        EXPECT_EQ(form.Label2().Caption(), L"▲ 14:13:24 ▲");
        EXPECT_EQ(form.Label6().Caption(), L"当前时间:08:46:36");
        // One hidden command a firing, and an abort for each graceful one (a pause in its delay).
        EXPECT_EQ(runner.count, firings + firings * 2 / 5);
        EXPECT_EQ(CaptureFiles().size(), 6u) << "one file per graceful action";
        EXPECT_EQ(CountLiveHandles(), warm);
        const SIZE_T heap = HeapBytesInUse(), privateBytes = PrivateBytes();
        EXPECT_LE(heap, warmHeap + kHeapSlack) << "heap in use grew by " << heap - warmHeap;
        EXPECT_LE(privateBytes, warmPrivate + kPrivateSlack)
            << "private memory grew by " << (privateBytes - warmPrivate) / 1024 << " KB";
        std::cout << "soak: " << kSeconds << " ticks with full repaints in "
                  << (GetTickCount() - began) / 1000 << " s, " << firings
                  << " firings; private memory KB warm-up " << warmPrivate / 1024 << ", end "
                  << privateBytes / 1024 << "; heap in use bytes warm-up " << warmHeap << ", end "
                  << heap << std::endl;
    }
    DoEvents();
    EXPECT_EQ(CountLiveHandles(), before) << "objects left alive after the window is gone";
    RemoveCaptureFolder();
}

// What a forgotten DeleteObject in the painting would leave over the measured ticks.
TEST(SoakTest, PrivateMemorySeesOneBrushPerTick) {
    std::vector<HBRUSH> leaked;
    leaked.reserve(kSeconds);
    const SIZE_T before = PrivateBytes();
    for (int i = kWarmUp; i < kSeconds; ++i) {
        leaked.push_back(CreateSolidBrush(RGB(i % 256, 1, 2)));
    }
    const SIZE_T after = PrivateBytes();
    for (HBRUSH brush : leaked) {
        DeleteObject(brush);
    }
    EXPECT_GT(after, before + kPrivateSlack) << "a leak this size would pass the soak unseen";
    std::cout << "soak: " << kSeconds - kWarmUp << " brushes left alive grow the private memory by "
              << (after - before) / 1024 << " KB" << std::endl;
}

}  // namespace
}  // namespace velmora
