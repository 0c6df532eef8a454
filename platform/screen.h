// The primary screen in its real pixels. This program declares no DPI awareness, so on a display
// scaled to 125 % or 150 % Windows gives it the screen's size scaled down, while a copy from the
// screen's DC holds the real pixels: a capture must ask in a DPI-aware way.
#pragma once

#include <windows.h>

namespace velmora {

// What a thread is told of DPI scaling: unaware, as Windows treats this program, which declares
// nothing, or per-monitor aware (Windows then reports sizes and positions in real pixels on a
// scaled display too). The values are Windows' DPI_AWARENESS_CONTEXT_UNAWARE and
// _PER_MONITOR_AWARE: the first per-monitor kind, which Windows 10 1607 knows (the V2 kind comes
// only with 1703).
enum class DpiAwareness { kUnaware = -1, kPerMonitor = -3 };

// The calling thread's DPI awareness while this lives; the thread's own comes back when it goes.
// Windows' windows, their fonts and drawing are untouched: a window keeps the awareness it was
// created with. Where Windows lacks SetThreadDpiAwarenessContext (before Windows 10 1607) it
// does nothing.
class DpiAwarenessScope {
  public:
    explicit DpiAwarenessScope(DpiAwareness awareness);
    ~DpiAwarenessScope();
    DpiAwarenessScope(const DpiAwarenessScope&) = delete;
    DpiAwarenessScope& operator=(const DpiAwarenessScope&) = delete;
    // Whether the thread has the awareness asked for.
    bool Active() const { return previous_ != nullptr; }

  private:
    HANDLE previous_ = nullptr;  // the thread's DPI_AWARENESS_CONTEXT; null: nothing changed
};

// The size of the primary screen in real pixels: the system metrics under per-monitor
// awareness; where Windows has none, the desktop's resolution from the device (DESKTOPHORZRES
// and DESKTOPVERTRES, which Windows does not scale for a program that is not aware).
SIZE PrimaryScreenPixels();

}  // namespace velmora
