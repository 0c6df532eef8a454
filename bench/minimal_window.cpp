// The yardstick for the start-up and memory figures: the least a Win32 window program does. It
// takes the timer's place and size (top-left corner, 389 x 221, topmost), fills itself pink and
// notes the time of its first WM_PAINT in the file named by VELMORA_PAINT_LOG, if set.
#include <windows.h>

#include "tools/standin_log.h"

namespace velmora {
namespace {

bool painted = false;

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            if (!painted) {
                painted = true;
                wchar_t path[32768];
                DWORD length = GetEnvironmentVariableW(L"VELMORA_PAINT_LOG", path, 32768);
                if (length > 0 && length < 32768) {
                    AppendLogLine(path, L"painted");
                }
            }
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
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 128, 255));
    windowClass.lpszClassName = L"VelmoraMinimal";
    RegisterClassW(&windowClass);

    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName,
                                  L"Minimal window", WS_POPUP, 0, 0, 389, 221, nullptr, nullptr,
                                  instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
