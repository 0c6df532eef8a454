// CaptureScreenToFile on a real Form1: the file's name and BMP format, its content against the
// screen, and the capture folder when it is missing or cannot be made.
#include <fstream>
#include <iterator>

#include "actions/capture.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

constexpr COLORREF kMarkerColour = RGB(20, 200, 90);

// Shows a top-level window in kMarkerColour over `r` of the screen, until it goes.
class Marker {
  public:
    explicit Marker(RECT r) : brush_(CreateSolidBrush(kMarkerColour)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hbrBackground = brush_.Get();
        wc.lpszClassName = L"VelmoraCaptureMarker";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 500; Sleep(10)) {
            DoEvents();  // Wine maps and paints the window in its own time
        }
    }
    ~Marker() {
        DestroyWindow(hwnd_);
        UnregisterClassW(L"VelmoraCaptureMarker", nullptr);
    }

  private:
    BrushHandle brush_;
    HWND hwnd_;
};

using CaptureTest = LoadedForm1;

TEST_F(CaptureTest, SavesTheWholeScreenAsABmpNamedByTheClock) {
    Marker marker({600, 400, 680, 460});
    clock.now = {2014, 5, 23, 22, 0, 5};
    clock.readings = 0;  // the timer may have ticked while the marker came up
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(clock.readings, 1);
    ASSERT_EQ(CaptureFiles(), Lines{L"20140523220005.BMP"}) << "a temporary file left behind";

    std::ifstream in("C:\\QORN\\20140523220005.BMP", std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GT(bytes.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    const auto& file = *reinterpret_cast<const BITMAPFILEHEADER*>(bytes.data());
    const auto& info =
        *reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(file.bfType, 0x4D42);
    EXPECT_EQ(file.bfSize, bytes.size());
    EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
    ASSERT_EQ(info.biWidth, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(info.biHeight, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t stride = (info.biWidth * 3 + 3) & ~3;
    ASSERT_EQ(bytes.size(), file.bfOffBits + stride * info.biHeight);
    // Rows bottom-up, blue green red. Far from the window: the copy is the whole screen.
    auto at = [&](int x, int y) {
        const char* p = bytes.data() + file.bfOffBits + (info.biHeight - 1 - y) * stride + x * 3;
        return RGB(static_cast<BYTE>(p[2]), static_cast<BYTE>(p[1]), static_cast<BYTE>(p[0]));
    };
    EXPECT_EQ(at(600, 400), kMarkerColour);
    EXPECT_EQ(at(679, 459), kMarkerColour);
    EXPECT_NE(at(680, 430), kMarkerColour);
    EXPECT_NE(at(640, 460), kMarkerColour);
}

TEST_F(CaptureTest, MakesAMissingFolderAndSkipsOneThatCannotBeMade) {
    RemoveCaptureFolder();
    clock.now = {2014, 1, 2, 3, 4, 5};
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(CaptureFiles(), Lines{L"20140102030405.BMP"});

    // A file where the folder belongs: nothing can be written, and the capture just returns.
    RemoveCaptureFolder();
    CloseHandle(CreateFileW(L"C:\\QORN", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(GetFileAttributesW(L"C:\\QORN"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

}  // namespace
}  // namespace velmora
