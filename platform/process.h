// Starting a command line as a new process with a given show state, without waiting for it.
// The form takes a CommandRunner, so tests can record what would start instead of starting it.
#pragma once

#include <string>
#include <vector>

namespace velmora {

// One process to start. With an application name CreateProcess runs exactly that file; without
// one it takes the first word of the command line and searches the program's folder and the
// current folder before the system folder, where a planted file of that name would win.
struct ProcessStart {
    std::wstring commandLine;
    int showState = 1;             // SW_HIDE, SW_SHOWNORMAL, ...
    std::wstring applicationName;  // full path of the program file; empty: searched for
    std::wstring currentFolder;    // empty: this program's own current folder
};

class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    // Starts the process and returns at once. Whether it started is not reported: the program
    // never looks.
    virtual void Start(const ProcessStart& start) = 0;
};

// CreateProcessW; both handles of the new process are closed at once.
class ProcessRunner : public CommandRunner {
  public:
    void Start(const ProcessStart& start) override;
};

// Keeps every start, in order, and starts nothing.
class RecordingRunner : public CommandRunner {
  public:
    using Call = ProcessStart;
    void Start(const ProcessStart& start) override { calls.push_back(start); }
    std::vector<Call> calls;
};

// This program's arguments without its own name, split by Windows' rules (CommandLineToArgvW:
// quotes group, backslashes before a quote escape it).
std::vector<std::wstring> ProgramArguments();

// The system folder as GetSystemDirectoryW gives it (C:\windows\system32); empty when it
// cannot be read.
std::wstring SystemFolder();

// The Windows folder (GetSystemWindowsDirectoryW) when this is a 32-bit program under WOW64, which
// sees SysWOW64 in place of its System32; else empty. See SysnativePath.
std::wstring Wow64WindowsFolder();

// `commandLine` ("cmd.exe /d /c ...") started as `interpreter` or else the system folder's own
// cmd.exe, hidden unless `shown`, in `folder`, or in the system folder when that is empty (so
// that cmd finds the system's own `shutdown` there before anything in the program's folder).
// With no system folder to name, the command line is empty and nothing starts.
ProcessStart CommandInterpreter(const std::wstring& commandLine, const std::wstring& folder = {},
                                bool shown = false, const std::wstring& interpreter = {});

}  // namespace velmora
