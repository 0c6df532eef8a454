// The program's start: Form1 with the real clock and process starter, then the message loop.
#include <windows.h>

#include <exception>
#include <string>

#include "app/form1.h"
#include "platform/message_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        velmora::ProcessRunner runner;
        velmora::SystemClock clock;
        velmora::Form1 form(runner, clock);
        form.Load();
        return velmora::RunMessageLoop();
    } catch (const std::exception& e) {
        // Only the window's creation can get here; there is no window to show a message in.
        OutputDebugStringA((std::string("velmora: cannot start: ") + e.what() + "\n").c_str());
        return 1;
    }
}
