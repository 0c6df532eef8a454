// shutdown.exe stand-in for the end-to-end tests: logs when and how it was called, shuts nothing
// down. cmd.exe looks in its current folder before the system folder, so a copy of this program in
// the folder the timer is started from takes the place of the system's shutdown command.
#include <windows.h>

#include "tools/standin_log.h"

int main() {
    using namespace velmora;
    std::wstring path = LogPath(L"VELMORA_STANDIN_LOG", L"standin.log");
    return AppendLogLine(path, ModulePath() + L"\t" + GetCommandLineW()) ? 0 : 1;
}
