// recorder.exe: notes that it was started, with its own path and its command line, and does
// nothing else. The tests put it in the place of the system's shutdown.exe (a console build),
// of the web browser, of the program to start and of every planted fake (GUI builds).
#include "tests/programs/log_line.h"

int main() {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    AppendLogLine(std::wstring(module) + L"\t" + GetCommandLineW());
    return 0;
}
