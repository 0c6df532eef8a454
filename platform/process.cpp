// ProcessRunner: CreateProcessW with STARTF_USESHOWWINDOW; the system folder's cmd.exe and the
// Windows folder that a 32-bit program under WOW64 needs to name; this program's own arguments.
#include "platform/process.h"

#include <windows.h>
// After <windows.h>, which it needs.

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

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::wstring(folder, length);
}

std::wstring Wow64WindowsFolder() {
    BOOL wow64 = FALSE;
    wchar_t folder[MAX_PATH] = {};
    if (IsWow64Process(GetCurrentProcess(), &wow64) == 0 || wow64 == FALSE) {
        return {};
    }
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(folder, length);
}

ProcessStart CommandInterpreter(const std::wstring& commandLine, const std::wstring& folder,
                                bool shown, const std::wstring& interpreter) {
    const std::wstring system = SystemFolder();
    if (system.empty()) {
        return {L"", SW_HIDE, {}, {}};  // a cmd.exe found by search is worse than none
    }
    return {commandLine, shown ? SW_SHOWNORMAL : SW_HIDE,
            interpreter.empty() ? system + L"\\cmd.exe" : interpreter,
            folder.empty() ? system : folder};
}

std::vector<std::wstring> ProgramArguments() {
    // The program's own name, as Windows reads it: quoted, or up to the first blank. With
    // nothing after it (every start from the desktop), shell32, a large DLL whose loading costs
    // the window start-up time and memory, is never loaded.
    const wchar_t* rest = GetCommandLineW();
    if (*rest == L'"') {
        for (++rest; *rest != L'\0' && *rest != L'"'; ++rest) {
        }
        rest += *rest == L'"';
    } else {
        for (; *rest != L'\0' && *rest != L' ' && *rest != L'\t'; ++rest) {
        }
    }
    for (; *rest == L' ' || *rest == L'\t'; ++rest) {
    }
    if (*rest == L'\0') {
        return {};
    }
    using Split = LPWSTR*(WINAPI*)(LPCWSTR, int*);
    const HMODULE shell32 = LoadLibraryW(L"shell32.dll");
    const FARPROC address = shell32 ? GetProcAddress(shell32, "CommandLineToArgvW") : nullptr;
    if (address == nullptr) {
        return {};  // no Windows lacks it; left in memory, as loaded libraries are at the end
    }
    // Through void(*)(), which GCC lets convert to any function pointer without a warning.
    const auto split = reinterpret_cast<Split>(reinterpret_cast<void (*)()>(address));
    int count = 0;
    LPWSTR* list = split(GetCommandLineW(), &count);
    const LocalMemory owner(list);
    if (list == nullptr) {
        return {};
    }
    return std::vector<std::wstring>(list + (count > 0 ? 1 : 0), list + count);
}

}  // namespace velmora
