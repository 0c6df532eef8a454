// One way to treat failing Win32 calls: calls whose failure leaves the program unusable
// (registering a class, creating a window or a GDI object) throw Win32Error; calls whose result
// the program deliberately ignores are not checked. No exception may leave a window procedure:
// GuardedWindowProc catches everything at that boundary.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace velmora {

class Win32Error : public std::runtime_error {
  public:
    Win32Error(const char* what, DWORD code);
    DWORD Code() const { return code_; }

  private:
    DWORD code_;
};

// Throws Win32Error for `what` with GetLastError().
[[noreturn]] void ThrowLastError(const char* what);

template <class T>
T CheckHandle(T handle, const char* what) {
    if (!handle) {
        ThrowLastError(what);
    }
    return handle;
}

inline void CheckCall(BOOL ok, const char* what) {
    if (!ok) {
        ThrowLastError(what);
    }
}

// Writes an exception that reached a window procedure to the debugger output. The message is
// then treated as unhandled (DefWindowProc), and the program goes on.
void ReportStrayException(UINT message) noexcept;

// Runs `body` (returning LRESULT) so that no exception escapes into Windows, which cannot
// unwind through its own frames.
template <class Body>
LRESULT GuardedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                          Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportStrayException(message);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// UTF-16 to the system's ANSI code page, for the functions whose names end in A.
std::string ToAnsi(const std::wstring& text);
std::wstring FromAnsi(const std::string& text);

}  // namespace velmora
