// backdrop.exe: a full-screen window kept at the bottom, painted in an 8-pixel checkerboard of two
// colours the timer never uses, that logs every button press with its screen point. The tests see
// it through the timer's see-through parts and check that presses there land here.
#include "tests/programs/log_line.h"

namespace {

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 160));
    // The window lies at the screen's origin, so a cell's colour follows from screen points alone:
    // green where x / 8 + y / 8 is even.
    for (int y = paint.rcPaint.top & ~7; y < paint.rcPaint.bottom; y += 8) {
        for (int x = paint.rcPaint.left & ~7; x < paint.rcPaint.right; x += 8) {
            RECT cell = {x, y, x + 8, y + 8};
            FillRect(dc, &cell, (x / 8 + y / 8) % 2 ? blue : green);
        }
    }
    DeleteObject(green);
    DeleteObject(blue);
    EndPaint(window, &paint);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_MOUSEACTIVATE:  // activation would raise it over the timer
            return MA_NOACTIVATE;
        case WM_WINDOWPOSCHANGING:
            reinterpret_cast<WINDOWPOS*>(lParam)->hwndInsertAfter = HWND_BOTTOM;
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            AppendLogLine((message == WM_LBUTTONDOWN ? L"click\tleft\t" : L"click\tright\t") +
                          std::to_wstring(static_cast<short>(LOWORD(lParam))) + L"\t" +
                          std::to_wstring(static_cast<short>(HIWORD(lParam))));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"VelmoraBackdrop";
    RegisterClassW(&windowClass);
    // A popup tool window: no frame, no taskbar button.
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Velmora backdrop",
                    WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
