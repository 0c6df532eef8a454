// Win32Error, the report of exceptions stopped at a window procedure, and ANSI conversion.
#include "platform/win32_error.h"

#include <exception>

namespace velmora {

namespace {

std::string Describe(const char* what, DWORD code) {
    return std::string(what) + " failed (error " + std::to_string(code) + ")";
}

}  // namespace

Win32Error::Win32Error(const char* what, DWORD code)
    : std::runtime_error(Describe(what, code)), code_(code) {}

void ThrowLastError(const char* what) {
    throw Win32Error(what, GetLastError());
}

void ReportStrayException(UINT message) noexcept {
    try {
        std::string text =
            "velmora: exception in window procedure, message " + std::to_string(message);
        try {
            throw;
        } catch (const std::exception& e) {
            text += ": ";
            text += e.what();
        } catch (...) {
        }
        text += "\n";
        OutputDebugStringA(text.c_str());
    } catch (...) {
        // Nothing more can be done without risking a second exception.
    }
}

std::string ToAnsi(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

std::wstring FromAnsi(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

}  // namespace velmora
