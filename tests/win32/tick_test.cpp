// Timer1_Timer on a real Form1: the screen capture and its failures, where the timer's ticks fall,
// and a window whose styling did not show it.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "actions/capture.h"
#include "platform/screen.h"
#include "platform/timer.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

const wchar_t kShutdownGrace[] = L"cmd.exe /d /c shutdown -s -t 20";
class TickTest : public LoadedForm1 {
  protected:
    // Calls `onTick` instead of the tick's handler.
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

constexpr COLORREF kMarkerColour = RGB(20, 200, 90);

// Run once more at 144 dots per inch (tick_tests_144dpi), where Windows, and Wine too, report the
// screen scaled down to a thread without DPI awareness: it must still come out whole.
TEST_F(TickTest, SavesTheWholeScreenAsABmpNamedByTheClock) {
    // A marker window in the screen's bottom-right corner, far from the form.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BrushHandle brush(CreateSolidBrush(kMarkerColour));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = brush.Get();
    wc.lpszClassName = L"VelmoraCaptureMarker";
    RegisterClassW(&wc);
    HWND marker = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                  WS_POPUP | WS_VISIBLE, width - 80, height - 60, 80, 60, nullptr,
                                  nullptr, nullptr, nullptr);
    PumpFor(500);  // Wine maps and paints the window in its own time
    clock.now = {2014, 5, 23, 22, 0, 5};
    clock.readings = 0;  // the timer may have ticked while the marker came up
    // The file is made in its own folder: a temp folder that cannot be written changes nothing.
    wchar_t tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", L"C:\\nowhere");
    SetEnvironmentVariableW(L"TEMP", L"C:\\nowhere");
    {
        const bool scaled = getenv("VELMORA_SCALED") != nullptr;
        const DpiAwarenessScope unaware(DpiAwareness::kUnaware);  // as Windows treats the program
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) < width, scaled) << "VELMORA_SCALED: 144 dpi";
        CaptureScreenToFile(form->Me(), clock);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) < width, scaled) << "its awareness not given back";
    }
    SetEnvironmentVariableW(L"TMP", *tmp ? tmp : nullptr);
    SetEnvironmentVariableW(L"TEMP", *temp ? temp : nullptr);
    DestroyWindow(marker);
    EXPECT_EQ(clock.readings, 1);
    ASSERT_EQ(CaptureFiles(), Lines{L"20140523220005.BMP"}) << "none, or a temporary file left";

    std::ifstream in("C:\\QORN\\20140523220005.BMP", std::ios::binary);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    in.read(reinterpret_cast<char*>(&file), sizeof file)
        .read(reinterpret_cast<char*>(&info), sizeof info);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in.seekg(0)), {}};
    in.close();  // an open file cannot be removed with its folder below
    EXPECT_EQ(file.bfType, 0x4D42);
    EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
    ASSERT_EQ(info.biWidth, width);
    ASSERT_EQ(info.biHeight, height);
    ASSERT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t stride = (info.biWidth * 3 + 3) & ~3;
    ASSERT_EQ(bytes.size(), file.bfOffBits + stride * info.biHeight);
    EXPECT_EQ(file.bfSize, bytes.size());
    // Rows bottom-up, blue green red.
    auto at = [&](int x, int y) {
        const char* p = bytes.data() + file.bfOffBits + (info.biHeight - 1 - y) * stride + x * 3;
        return RGB(static_cast<BYTE>(p[2]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[0]));
    };
    EXPECT_EQ(at(width - 80, height - 60), kMarkerColour);
    EXPECT_EQ(at(width - 1, height - 1), kMarkerColour);
    EXPECT_NE(at(width - 81, height - 30), kMarkerColour);
    EXPECT_NE(at(width - 40, height - 61), kMarkerColour);

    // A file where the folder belongs: nothing written, and no harm.
    RemoveCaptureFolder();
    CloseHandle(CreateFileW(L"C:\\QORN", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(GetFileAttributesW(L"C:\\QORN"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

// A copy that fails leaves the image as it was, all black or with the last capture's pixels:
// neither may be saved under a new time.
TEST_F(TickTest, ACopyThatFailsSavesNoFile) {
    const ScreenCopy fails = [](HDC, SIZE) { return false; };
    CaptureScreenToFile(form->Me(), clock, fails);  // a fresh image
    EXPECT_TRUE(CaptureFiles().empty());
    CaptureScreenToFile(form->Me(), clock);
    clock.now.second += 1;
    CaptureScreenToFile(form->Me(), clock, fails);  // the image of the capture before
    EXPECT_EQ(CaptureFiles(), Lines{L"20260507080906.BMP"});
}

COLORREF WindowPixel(HWND hwnd, int x, int y) {
    WindowDc dc(hwnd);
    return GetPixel(dc.Get(), x, y);
}

TEST_F(TickTest, ACaptureThatCannotBeMadeLeavesNoTraceAndTheTickStopsTheTimer) {
    SetTarget(clock.now);  // due at the next tick, with Option1 selected as at start
    form->SetGraceWaitForTesting(1);
    form->LabelGN_Click(3);
    // Away from the screen's corner, so that a copy of the screen onto the window would show.
    form->Me().Move(6000, 4500);
    DoEvents();
    const COLORREF before = WindowPixel(form->Me().Hwnd(), 3, 3);
    // 16 GB, more than a 32-bit process can hold; a 64-bit one may get it, but no BMP file can.
    form->Me().SetImageSizeForTesting(65535, 65535);
    Tick();
    PumpFor(2000, [&] { return form->Timer1().Interval() == 0; });
    EXPECT_EQ(Commands(), Lines{kShutdownGrace});
    EXPECT_EQ(form->Timer1().Interval(), 0);
    EXPECT_EQ(form->LabelAM().Caption(), L"2");
    EXPECT_TRUE(CaptureFiles().empty());
    EXPECT_EQ(WindowPixel(form->Me().Hwnd(), 3, 3), before);
}

// A clock change or a wake from sleep ticks at once; a suspend does not, nor a stopped timer.
TEST_F(TickTest, TicksLandJustAfterEachSecondAndResumeSoAfterALongTickOrAClockChange) {
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
    const HWND hwnd = form->Me().Hwnd();
    SendMessageW(hwnd, WM_TIMECHANGE, 0, 0);
    SendMessageW(hwnd, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_EQ(at.size(), kTicks + 2);
    SendMessageW(hwnd, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    form->Timer1().SetInterval(0);
    SendMessageW(hwnd, WM_TIMECHANGE, 0, 0);
    EXPECT_EQ(at.size(), kTicks + 2);
}

// A check of the program's file that takes 10 s (a sleeping share): meanwhile every tick returns
// at once and shows the clock, 暂停 and 启动 answer, and the first tick after the answer starts it.
TEST_F(TickTest, ASlowFileCheckHoldsUpNeitherTheTicksNorTheLabels) {
    // The check's thread may outlive the test: it keeps the count alive.
    form->SetFileCheckForTesting([checks = std::make_shared<int>(0)](const std::wstring& path) {
        Sleep(++*checks == 1 ? 10000 : 0);
        return path == L"C:\\share\\app.exe";
    });
    form->Option3().SetValue(true);
    form->Text5().SetText(L"C:\\share\\app.exe");
    SetTarget(clock.now);
    form->LabelGN_Click(3);
    const DWORD begun = GetTickCount();
    for (int i = 0; Commands().empty() && i < 60; ++i) {
        ++clock.now.second;
        const DWORD start = GetTickCount();
        Tick();
        EXPECT_LT(GetTickCount() - start, 1000u) << "tick " << i;
        EXPECT_EQ(form->LabelS().Caption(), GeneralDateTimeText(clock.now));
        if (i == 2) {
            form->LabelGN_Click(3);
            EXPECT_EQ(form->LabelAM().Caption(), L"1");
            form->LabelGN_Click(3);
        }
        PumpFor(250);
    }
    EXPECT_GE(GetTickCount() - begun, 10000u);
    EXPECT_EQ(Commands(), Lines{L"cmd.exe /d /c start \"\" \"C:\\share\\app.exe\""});
    EXPECT_EQ(form->LabelAM().Caption(), L"1");
}

TEST(TickLoad, ShowsTheWindowWhenTheStylingDidNotWithTheSizeSetWhileHidden) {
    RecordingRunner runner;
    ScriptedClock clock;
    Form1 form(runner, clock);
    form.Me().SetWidth(2045);
    form.Me().SetHeight(555);
    EXPECT_EQ(form.Me().Width(), 2045);
    // Form_Load skipped, and with it the SetWindowPos that shows the window.
    form.SetHandlerObserver([](const Form1::HandlerCall&) {},
                            Form1::ObserverMode::kInsteadOfHandler);
    form.Load();
    EXPECT_TRUE(IsWindowVisible(form.Me().Hwnd()));
    RECT shown{};
    GetWindowRect(form.Me().Hwnd(), &shown);
    EXPECT_EQ(shown.right - shown.left, TwipsToPixels(2045));
    EXPECT_EQ(shown.bottom - shown.top, TwipsToPixels(555));
}

}  // namespace
}  // namespace velmora
