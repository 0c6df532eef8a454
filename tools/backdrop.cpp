// backdrop.exe: a full-screen window at the bottom of the z-order, painted in a fine checkerboard
// of two colours the timer never uses, that logs every mouse button press it receives with its
// screen coordinates. Tests see through the timer's transparent parts to this pattern and check
// that clicks on them land here.
#include <windows.h>

#include <string>

#include "tools/standin_log.h"

namespace velmora {
namespace {

constexpr int kCell = 8;
constexpr COLORREF kColourEven = RGB(0, 160, 0);  // cells where (x / 8 + y / 8) is even
constexpr COLORREF kColourOdd = RGB(0, 0, 160);

std::wstring logPath;
HBRUSH checkerBrush = nullptr;
bool painted = false;

HBRUSH MakeCheckerBrush() {
    // One period of the pattern; a pattern brush repeats it from the window's origin, which is
    // the screen's origin, so a cell's colour follows from screen coordinates alone.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP tile = CreateCompatibleBitmap(screen, 2 * kCell, 2 * kCell);
    HGDIOBJ old = SelectObject(memory, tile);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            RECT cell = {column * kCell, row * kCell, (column + 1) * kCell, (row + 1) * kCell};
            HBRUSH brush = CreateSolidBrush((row + column) % 2 == 0 ? kColourEven : kColourOdd);
            FillRect(memory, &cell, brush);
            DeleteObject(brush);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    HBRUSH brush = CreatePatternBrush(tile);
    DeleteObject(tile);
    return brush;
}

void LogClick(HWND window, const wchar_t* button, LPARAM lParam) {
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &point);
    AppendLogLine(logPath, std::wstring(L"click\t") + button + L"\t" + std::to_wstring(point.x) +
                               L"\t" + std::to_wstring(point.y));
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            FillRect(dc, &paint.rcPaint, checkerBrush);
            EndPaint(window, &paint);
            if (!painted) {
                painted = true;
                GdiFlush();
                AppendLogLine(logPath, L"painted");
            }
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            // Taking activation would pull the backdrop in front of ordinary windows.
            return MA_NOACTIVATE;
        case WM_WINDOWPOSCHANGING: {
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            if (!(position->flags & SWP_NOZORDER)) {
                position->hwndInsertAfter = HWND_BOTTOM;
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            LogClick(window, L"left", lParam);
            return 0;
        case WM_RBUTTONDOWN:
            LogClick(window, L"right", lParam);
            return 0;
        case WM_MBUTTONDOWN:
            LogClick(window, L"middle", lParam);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace
}  // namespace velmora

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace velmora;
    logPath = LogPath(L"VELMORA_BACKDROP_LOG", L"backdrop.log");
    checkerBrush = MakeCheckerBrush();

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"VelmoraBackdrop";
    RegisterClassW(&windowClass);

    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    // A tool window, so that it takes no taskbar button; WS_POPUP, so that it has no frame.
    HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Velmora backdrop", WS_POPUP,
                        0, 0, width, height, nullptr, nullptr, instance, nullptr);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
