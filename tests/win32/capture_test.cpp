// CaptureScreenToFile on a real Form1: the file's name and BMP format, its content against the
// screen, and the capture folder when it is missing or cannot be made.
#include <cstdio>

#include "actions/capture.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

struct Bmp {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    std::vector<BYTE> bytes;
    // Pixel (x, y) from the top, for 24-bit bottom-up rows.
    COLORREF At(int x, int y) const {
        const size_t stride = (static_cast<size_t>(info.biWidth) * 3 + 3) & ~size_t{3};
        const BYTE* p = bytes.data() + file.bfOffBits + (info.biHeight - 1 - y) * stride + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
};

Bmp ReadBmp(const std::wstring& path) {
    Bmp bmp;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (f == nullptr) {
        return bmp;
    }
    BYTE chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) {
        bmp.bytes.insert(bmp.bytes.end(), chunk, chunk + n);
    }
    fclose(f);
    if (bmp.bytes.size() >= sizeof bmp.file + sizeof bmp.info) {
        memcpy(&bmp.file, bmp.bytes.data(), sizeof bmp.file);
        memcpy(&bmp.info, bmp.bytes.data() + sizeof bmp.file, sizeof bmp.info);
    }
    return bmp;
}

// A plain top-level window in one colour, somewhere the form does not cover.
class Marker {
  public:
    static constexpr COLORREF kColour = RGB(20, 200, 90);
    explicit Marker(RECT r) : brush_(CreateSolidBrush(kColour)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush_.Get();
        wc.lpszClassName = L"VelmoraCaptureMarker";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"",
                                WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        UpdateWindow(hwnd_);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 500) {  // Wine maps the X window in its own time
            DoEvents();
            Sleep(10);
        }
    }
    ~Marker() {
        DestroyWindow(hwnd_);
        UnregisterClassW(L"VelmoraCaptureMarker", GetModuleHandleW(nullptr));
    }

  private:
    BrushHandle brush_;
    HWND hwnd_;
};

using CaptureTest = LoadedForm1;

TEST_F(CaptureTest, SavesTheWholeScreenAsABmpNamedByTheClock) {
    Marker marker({600, 400, 680, 460});
    clock.now = {2014, 5, 23, 22, 0, 5};
    clock.readings = 0;  // the timer ticked while the marker came up
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(clock.readings, 1);
    // Nothing beside it: the temporary file was renamed, not left.
    ASSERT_EQ(CaptureFiles(), std::vector<std::wstring>{L"20140523220005.BMP"});
    EXPECT_TRUE(form->Me().AutoRedraw());

    const Bmp bmp = ReadBmp(L"C:\\QORN\\20140523220005.BMP");
    EXPECT_EQ(bmp.file.bfType, 0x4D42);
    EXPECT_EQ(bmp.file.bfSize, bmp.bytes.size());
    EXPECT_EQ(bmp.info.biSize, sizeof(BITMAPINFOHEADER));
    ASSERT_EQ(bmp.info.biWidth, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(bmp.info.biHeight, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(bmp.info.biBitCount, 24);
    EXPECT_EQ(bmp.info.biCompression, static_cast<DWORD>(BI_RGB));
    const size_t stride = (static_cast<size_t>(bmp.info.biWidth) * 3 + 3) & ~size_t{3};
    ASSERT_EQ(bmp.bytes.size(), bmp.file.bfOffBits + stride * bmp.info.biHeight);
    // Far from the form's corner: the copy is not cut to the window's size.
    EXPECT_EQ(bmp.At(640, 430), Marker::kColour);
    EXPECT_EQ(bmp.At(679, 459), Marker::kColour);
    EXPECT_NE(bmp.At(681, 430), Marker::kColour);
}

TEST_F(CaptureTest, MakesAMissingFolderAndSkipsOneThatCannotBeMade) {
    RemoveCaptureFolder();
    clock.now = {2014, 1, 2, 3, 4, 5};
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(CaptureFiles(), std::vector<std::wstring>{L"20140102030405.BMP"});

    // A file where the folder belongs: nothing can be written, and the capture just returns.
    RemoveCaptureFolder();
    HANDLE blocker = CreateFileW(L"C:\\QORN", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    CaptureScreenToFile(form->Me(), clock);
    EXPECT_EQ(GetFileAttributesW(L"C:\\QORN") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_TRUE(CaptureFiles().empty());
}

}  // namespace
}  // namespace velmora
