// The yardstick for the CPU time of idle ticking: the least a Win32 clock does. Once a second a
// plain 1000 ms timer reads the local time and has one line of text redrawn ("hh:mm:ss") in a
// pink topmost window at the timer's corner and size. Nothing but Win32, like minimal_window.cpp,
// which never wakes at all and so cannot be a yardstick for a program that must tick.
#include <windows.h>

namespace velmora {
namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr RECT kTextRect = {120, 100, 270, 120};

LRESULT CALLBACK ClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            InvalidateRect(window, &kTextRect, TRUE);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            SYSTEMTIME now;
            GetLocalTime(&now);
            wchar_t text[16];
            int length = wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
            RECT rect = kTextRect;
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(255, 255, 255));
            DrawTextW(dc, text, length, &rect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
            EndPaint(window, &paint);
            return 0;
        }
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
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ClockProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 128, 255));
    windowClass.lpszClassName = L"VelmoraMinimalClock";
    RegisterClassW(&windowClass);

    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName,
                                  L"Minimal clock", WS_POPUP, 0, 0, 389, 221, nullptr, nullptr,
                                  instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, kTimerId, 1000, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
