// The program's start: Form1 with the real clock and process starter, then the message loop.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "app/form1.h"
#include "platform/message_loop.h"
#include "platform/start_notes.h"

// What std::terminate does in this program. The library's own handler prints the demangled type
// of the exception to a console that a windowed program does not have, and its demangler makes
// up a tenth of the program file; providing the handler here keeps it out of the link.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    velmora::NoteStartStep("WinMain");
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
