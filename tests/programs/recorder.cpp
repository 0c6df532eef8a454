// recorder.exe, the stand-in for shutdown.exe, the browser, started programs and planted fakes:
// appends "<local time to the ms>\t<own path>\t<command line>[\t<argument>...]\t<current
// folder>\r\n" in UTF-8 to $VELMORA_LOG, the arguments as its C runtime reads them.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    wchar_t path[MAX_PATH], module[MAX_PATH], folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VELMORA_LOG", path, MAX_PATH) - 1 >= MAX_PATH - 1)
        return 0;
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u\t", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    std::wstring line = stamp + std::wstring(module) + L"\t" + GetCommandLineW();
    for (int i = 1; i < argc; ++i) {
        line.append(L"\t").append(argv[i]);
    }
    GetCurrentDirectoryW(MAX_PATH, folder);
    line.append(L"\t").append(folder).append(L"\r\n");
    std::string utf8(line.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                    &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr));
    // FILE_APPEND_DATA without FILE_WRITE_DATA: Wine opens the file O_APPEND, so the lines of
    // several writers never overlap. Another writer may hold it for a moment: try again.
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(20)) {
        HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            break;
        }
    }
    return 0;
}
