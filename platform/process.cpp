// ProcessRunner: CreateProcessW with STARTF_USESHOWWINDOW.
#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/handles.h"

namespace velmora {

void ProcessRunner::Run(const std::wstring& commandLine, int showState) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showState);
    PROCESS_INFORMATION info{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    lastStarted_ = CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &startup, &info) != 0;
    if (lastStarted_) {
        ProcessHandle process(info.hProcess);
        ThreadHandle thread(info.hThread);
    }
}

}  // namespace velmora
