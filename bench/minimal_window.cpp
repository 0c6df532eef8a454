// The yardstick for the start-up and memory figures: the least a Win32 window program does. It
// takes the timer's place and size (top-left corner, 389 x 221, topmost), fills itself pink and
// notes the time of its first WM_PAINT in the file named by VELMORA_PAINT_LOG, if set. It uses
// nothing but Win32 (no C++ library), so that it stays the least a window program costs.
#include <windows.h>

namespace velmora {
namespace {

bool painted = false;

// Appends "yyyy-mm-dd hh:mm:ss.mmm\tpainted\r\n", the line format of the test stand-ins.
void NotePaint() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"VELMORA_PAINT_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[64];
    int size =
        wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u.%03u\tpainted\r\n", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, line, size, &written, nullptr);
        CloseHandle(file);
    }
}

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            if (!painted) {
                painted = true;
                NotePaint();
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
