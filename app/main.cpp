// The program's start: the command line read, Form1 with the real clock and process starter, the
// command line's preset, then the message loop. A command line that cannot be followed, and /?,
// end in a message box before any window is made.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "app/form1.h"
#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/process.h"
#include "platform/start_notes.h"
#include "scheduler/command_labels.h"
#include "scheduler/command_line.h"

// What std::terminate does in this program. The library's own handler prints the demangled type
// of the exception to a console that a windowed program does not have, and its demangler makes
// up a tenth of the program file; providing the handler here keeps it out of the link.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

namespace {

// The exit code of a command line that cannot be followed (0 for /?), as Windows' own tools
// give for a usage error; nothing has been armed or shown.
constexpr int kCommandLineFault = 2;

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    velmora::NoteStartStep("WinMain");
    try {
        // Started without arguments, nothing here changes what the program does.
        std::optional<velmora::Preset> preset;
        if (const auto arguments = velmora::ProgramArguments(); !arguments.empty()) {
            const velmora::CommandLineOutcome outcome = velmora::ReadCommandLine(
                arguments, velmora::UtcSecondsNow(), velmora::LocalTimeAtUtc);
            if (outcome.kind != velmora::CommandLineOutcome::Kind::kPreset) {
                const bool help = outcome.kind == velmora::CommandLineOutcome::Kind::kHelp;
                MessageBoxW(nullptr, outcome.message.c_str(), velmora::kProductTitle,
                            MB_OK | (help ? MB_ICONINFORMATION : MB_ICONERROR));
                return help ? 0 : kCommandLineFault;
            }
            preset = outcome.preset;
        }
        velmora::ProcessRunner runner;
        velmora::SystemClock clock;
        velmora::Form1 form(runner, clock);
        form.Load();
        if (preset) {
            form.ApplyPreset(*preset);
        }
        return velmora::RunMessageLoop();
    } catch (const std::exception& e) {
        // Only the window's creation can get here; there is no window to show a message in.
        OutputDebugStringA((std::string("velmora: cannot start: ") + e.what() + "\n").c_str());
        return 1;
    }
}
