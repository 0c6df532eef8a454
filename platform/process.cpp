// ProcessRunner: CreateProcessW with STARTF_USESHOWWINDOW; the system folder's cmd.exe; whether a
// program to start exists; this program's own arguments.
#include "platform/process.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <vector>

#include "platform/handles.h"

namespace velmora {

void ProcessRunner::Start(const ProcessStart& start) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(start.showState);
    PROCESS_INFORMATION info{};
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(start.commandLine.begin(), start.commandLine.end());
    buffer.push_back(L'\0');
    const wchar_t* application =
        start.applicationName.empty() ? nullptr : start.applicationName.c_str();
    const wchar_t* folder = start.currentFolder.empty() ? nullptr : start.currentFolder.c_str();
    if (!start.commandLine.empty() &&
        CreateProcessW(application, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                       &startup, &info) != 0) {
        ProcessHandle process(info.hProcess);
        ThreadHandle thread(info.hThread);
    }
}

bool DiskFiles::IsFile(const std::wstring& path) const {
    // Asked every second while the action is due: a drive with no disk in it answers "no file"
    // instead of showing the system's "insert a disk" dialog each time.
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode | SEM_FAILCRITICALERRORS);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    SetErrorMode(mode);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length);
}

ProcessStart CommandInterpreter(const std::wstring& commandLine, bool inSystemFolder) {
    const std::wstring system = SystemFolder();
    if (system.empty()) {
        return {L"", SW_HIDE, {}, {}};  // a cmd.exe found by search is worse than none
    }
    return {commandLine, SW_HIDE, system + L"\\cmd.exe", inSystemFolder ? system : L""};
}

std::vector<std::wstring> ProgramArguments() {
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    const LocalMemory owner(list);
    if (list == nullptr) {
        return {};
    }
    return std::vector<std::wstring>(list + (count > 0 ? 1 : 0), list + count);
}

}  // namespace velmora
