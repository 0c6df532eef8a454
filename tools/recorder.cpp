// recorder.exe: a program that only notes that it was started (module path and command line).
// The end-to-end tests use it as "the program to run" and, copied over the prefix's iexplore.exe,
// as the web browser. A GUI program, so that "start" opens no console window for it.
#include <windows.h>

#include "tools/standin_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace velmora;
    std::wstring path = LogPath(L"VELMORA_STANDIN_LOG", L"standin.log");
    return AppendLogLine(path, ModulePath() + L"\t" + GetCommandLineW()) ? 0 : 1;
}
