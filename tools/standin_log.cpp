// Log writer shared by the test stand-ins.
#include "tools/standin_log.h"

#include <windows.h>

#include <cstdio>

namespace velmora {

std::wstring LocalTimestamp() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring LogPath(const wchar_t* envName, const wchar_t* defaultName) {
    wchar_t value[32768];
    DWORD length = GetEnvironmentVariableW(envName, value, 32768);
    if (length > 0 && length < 32768) {
        return value;
    }
    std::wstring path = ModulePath();
    size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    return path + defaultName;
}

bool AppendLogLine(const std::wstring& path, const std::wstring& text) {
    std::wstring line = LocalTimestamp() + L"\t" + text + L"\r\n";
    int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string utf8(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &utf8[0], size,
                        nullptr, nullptr);
    // FILE_APPEND_DATA without FILE_WRITE_DATA makes every write land at the current end of the
    // file (Wine maps it to O_APPEND), so whole lines from several processes never overlap.
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE file =
            CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            BOOL ok =
                WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            return ok && written == utf8.size();
        }
        Sleep(20);
    }
    return false;
}

}  // namespace velmora
