// Soak run of a real Form1: more than an hour of simulated seconds, one tick and one full repaint
// per second, with the views switched, pauses and starts, and every kind of action fired now and
// then. Afterwards no GDI or USER object may be left alive and the memory in use may not have
// grown since the warm-up. Prints its figures on lines starting "soak:" for the bench.
#include <windows.h>
// psapi.h only after windows.h
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

constexpr int kSeconds = 3880;      // 64 minutes 40 seconds simulated
constexpr int kWarmUpSecond = 600;  // after the first capture (the persistent image) and the
                                    // first program path (the text box's buffer)
constexpr int kGracePasses = 10;    // 100 ms for each graceful action instead of 5 s
constexpr SIZE_T kHeapSlack = 4096;
constexpr SIZE_T kPrivateSlack = 64 * 1024;
const wchar_t kProgram[] = L"C:\\soak\\prog.exe";

// The clock moved on by hand, one second at a time, the calendar's carries included.
class SteppingClock : public Clock {
  public:
    explicit SteppingClock(const DateTime& start) : now_(start) {}
    DateTime Now() override { return now_; }
    void Advance() {
        SYSTEMTIME st{static_cast<WORD>(now_.year),
                      static_cast<WORD>(now_.month),
                      0,
                      static_cast<WORD>(now_.day),
                      static_cast<WORD>(now_.hour),
                      static_cast<WORD>(now_.minute),
                      static_cast<WORD>(now_.second),
                      0};
        FILETIME ft{};
        SystemTimeToFileTime(&st, &ft);
        ULARGE_INTEGER t{};
        t.LowPart = ft.dwLowDateTime;
        t.HighPart = ft.dwHighDateTime;
        t.QuadPart += 10000000ULL;  // one second in 100 ns
        ft.dwLowDateTime = t.LowPart;
        ft.dwHighDateTime = t.HighPart;
        FileTimeToSystemTime(&ft, &st);
        now_ = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    }

  private:
    DateTime now_;
};

// Counts the command lines instead of keeping them all, so that the test's own bookkeeping does
// not grow the heap it measures.
class CountingRunner : public CommandRunner {
  public:
    void Start(const ProcessStart& start) override {
        ++count;
        hidden += start.showState == SW_HIDE;
        last = start.commandLine;
    }
    int count = 0;
    int hidden = 0;
    std::wstring last;
};

// Bytes in busy blocks of every heap of the process: what the program and the system DLLs'
// Windows side hold.
SIZE_T HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T busy = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                busy += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

// Private memory: PrivateUsage where the platform keeps it. Wine 8 leaves it 0 and gives the
// process's anonymous resident memory (RssAnon + VmSwap of Linux) as PagefileUsage, which also
// holds the GDI and USER objects that Wine's Unix side allocates.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

struct Memory {
    SIZE_T privateBytes = 0;
    SIZE_T heap = 0;
};

Memory SampleMemory() {
    return {PrivateBytes(), HeapBytesInUse()};
}

// GetGuiResources' counts; zero for both where the platform does not keep them (Wine's is a
// stub that fails with ERROR_CALL_NOT_IMPLEMENTED).
struct GuiObjects {
    DWORD gdi = 0;
    DWORD user = 0;
    bool Known() const { return gdi != 0 || user != 0; }
};

GuiObjects CountGuiObjects() {
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

int Total(const LiveHandles& h) {
    return h.bitmaps + h.fonts + h.brushes + h.pens + h.memoryDcs + h.windowDcs + h.paintDcs +
           h.selections + h.processes + h.threads + h.windows;
}

std::string Describe(const LiveHandles& h) {
    char text[256];
    snprintf(text, sizeof text,
             "bitmaps %d fonts %d brushes %d pens %d memoryDCs %d windowDCs %d paintDCs %d "
             "selections %d processes %d threads %d windows %d",
             h.bitmaps, h.fonts, h.brushes, h.pens, h.memoryDcs, h.windowDcs, h.paintDcs,
             h.selections, h.processes, h.threads, h.windows);
    return text;
}

unsigned long Kb(SIZE_T bytes) {
    return static_cast<unsigned long>(bytes / 1024);
}

void SetTarget(Form1& form, const DateTime& t) {
    const int values[] = {t.year, t.month, t.day, t.hour, t.minute, t.second};
    for (int i = 1; i <= 6; ++i) {
        form.Combo1(i).SetText(ZeroPadded(values[i - 1], i == 1 ? 1 : 2));
    }
}

// The user's doings in one simulated second, after its tick: now and then an action made due
// (the next tick fires it), then the far target again and a pause and a start, which bring the
// timer back; between them the views and pauses. Returns how many firings it set up.
int Fiddle(Form1& form, const DateTime& now, int second, const DateTime& farTarget) {
    auto armNow = [&](OptionButton& option) {
        option.SetValue(true);
        SetTarget(form, now);
        return 1;
    };
    if (second % 600 == 300) {
        return armNow(second % 1200 == 300 ? form.Option1() : form.Option2());
    }
    if (second % 600 == 0) {
        return armNow(second % 1200 == 0 ? form.Option4() : form.Option5());
    }
    if (second % 1800 == 450) {
        form.Text5().SetText(kProgram);
        return armNow(form.Option3());
    }
    if (second % 600 == 301 || second % 600 == 1 || second % 1800 == 451) {
        SetTarget(form, farTarget);
        form.LabelGN_Click(3);  // pause: the caption reads "暂停" after every firing
        form.LabelGN_Click(3);  // start
        EXPECT_EQ(form.Timer1().Interval(), 1000) << "second " << second;
        EXPECT_EQ(form.LabelAM().Caption(), L"2") << "second " << second;
    } else if (second % 97 == 0) {
        form.LabelGN_Click(1);  // "★": compact strip and wide strip
    } else if (second % 131 == 0) {
        form.LabelGN_Click(2);  // "设置": the full panel and back
    } else if (second % 257 == 0) {
        form.LabelGN_Click(3);  // pause ...
        form.LabelGN_Click(3);  // ... and start: minimised and restored
    }
    return 0;
}

// Brings the full panel up ("设置" from either strip) and paints it: what Windows and Wine hold for
// a window depends on its size, so memory is compared in one view.
void ShowFullPanel(Form1& form) {
    if (form.Me().Height() != form.Label5().Height()) {
        form.LabelGN_Click(2);
    }
    RedrawWindow(form.Me().Hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DoEvents();
}

class SoakTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RemoveCaptureFolder();
        CreateDirectoryW(kCaptureFolder, nullptr);
        SetCursorPos(900, 700);
    }
    void TearDown() override { RemoveCaptureFolder(); }
};

TEST_F(SoakTest, AnHourOfTicksLeavesNoObjectAliveAndNoMemoryGrown) {
    const LiveHandles before = CountLiveHandles();
    const GuiObjects guiBefore = CountGuiObjects();
    const Memory start = SampleMemory();

    SteppingClock clock({2026, 5, 7, 8, 0, 0});
    CountingRunner runner;
    LiveHandles warm, end;
    GuiObjects guiWarm, guiEnd;
    Memory warmMemory, endMemory;
    int firings = 0;
    const DWORD began = GetTickCount();
    {
        Form1 form(runner, clock);
        form.Load();
        DoEvents();
        form.SetGracePassesForTesting(kGracePasses);
        runner.count = runner.hidden = 0;  // the capture folder's command at start-up
        DateTime farTarget = clock.Now();
        farTarget.hour += 2;
        SetTarget(form, farTarget);
        form.LabelGN_Click(3);  // start
        for (int second = 1; second <= kSeconds; ++second) {
            clock.Advance();
            form.Timer1().Fire();
            RedrawWindow(form.Me().Hwnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            DoEvents();
            firings += Fiddle(form, clock.Now(), second, farTarget);
            if (second == kWarmUpSecond) {
                ShowFullPanel(form);
                warm = CountLiveHandles();
                guiWarm = CountGuiObjects();
                warmMemory = SampleMemory();
            }
        }
        ShowFullPanel(form);
        // Still counting down to the far target.
        EXPECT_EQ(form.LabelAM().Caption(), L"2");
        EXPECT_EQ(form.Label6().Caption(), PresentTimeText(clock.Now()));
        end = CountLiveHandles();
        guiEnd = CountGuiObjects();
        endMemory = SampleMemory();
        EXPECT_EQ(runner.count, firings) << "one command per firing";
        EXPECT_EQ(runner.hidden, firings);
        EXPECT_EQ(CaptureFiles().size(), 6u) << "one file per graceful action";
    }
    DoEvents();
    const LiveHandles after = CountLiveHandles();
    const GuiObjects guiAfter = CountGuiObjects();

    EXPECT_EQ(end, warm) << "\n warm " << Describe(warm) << "\n end  " << Describe(end);
    EXPECT_EQ(after, before) << "\n before " << Describe(before) << "\n after  " << Describe(after);
    if (guiBefore.Known()) {
        EXPECT_EQ(guiEnd.gdi, guiWarm.gdi);
        EXPECT_EQ(guiEnd.user, guiWarm.user);
    }
    EXPECT_LE(endMemory.heap, warmMemory.heap + kHeapSlack)
        << "heap in use grew by " << (endMemory.heap - warmMemory.heap) << " bytes";
    EXPECT_LE(endMemory.privateBytes, warmMemory.privateBytes + kPrivateSlack)
        << "private memory grew by " << Kb(endMemory.privateBytes - warmMemory.privateBytes)
        << " KB";

    printf("soak: %d ticks with full repaints in %lu s, %d firings\n", kSeconds,
           (GetTickCount() - began) / 1000, firings);
    printf("soak: objects alive (handle wrappers) before %d, warm-up %d, end %d, after %d\n",
           Total(before), Total(warm), Total(end), Total(after));
    if (guiBefore.Known()) {
        printf("soak: GetGuiResources GDI %lu, %lu, %lu, %lu; USER %lu, %lu, %lu, %lu\n",
               guiBefore.gdi, guiWarm.gdi, guiEnd.gdi, guiAfter.gdi, guiBefore.user, guiWarm.user,
               guiEnd.user, guiAfter.user);
    } else {
        printf("soak: GetGuiResources: not kept on this platform\n");
    }
    printf(
        "soak: private memory KB start %lu, warm-up %lu, end %lu; heap in use bytes warm-up "
        "%lu, end %lu\n",
        Kb(start.privateBytes), Kb(warmMemory.privateBytes), Kb(endMemory.privateBytes),
        static_cast<unsigned long>(warmMemory.heap), static_cast<unsigned long>(endMemory.heap));
    fflush(stdout);
}

// The private memory measure is fine enough to see a leak of one GDI object a tick, which is
// what a forgotten DeleteObject in the painting would leave over the hour.
TEST(SoakMeasureTest, PrivateMemorySeesOneBrushPerTick) {
    std::vector<HBRUSH> leaked;
    leaked.reserve(kSeconds);
    const SIZE_T before = PrivateBytes();
    for (int i = kWarmUpSecond; i < kSeconds; ++i) {
        leaked.push_back(CreateSolidBrush(RGB(i % 256, 1, 2)));
    }
    const SIZE_T after = PrivateBytes();
    for (HBRUSH brush : leaked) {
        DeleteObject(brush);
    }
    EXPECT_GT(after, before + kPrivateSlack) << "a leak this size would pass the soak run unseen";
    printf("soak: %lu brushes left alive grow the private memory by %lu KB\n",
           static_cast<unsigned long>(leaked.size()), Kb(after - before));
}

}  // namespace
}  // namespace velmora
