// DpiAwarenessScope and PrimaryScreenPixels: SetThreadDpiAwarenessContext bound by name from
// user32.
#include "platform/screen.h"

#include "platform/handles.h"

namespace velmora {

namespace {

// DPI_AWARENESS_CONTEXT is declared only for Windows 10 headers; this program targets Windows 7.
using DpiAwarenessContext = HANDLE;
using SetThreadDpiAwarenessContextFunction = DpiAwarenessContext(WINAPI*)(DpiAwarenessContext);

SetThreadDpiAwarenessContextFunction BoundSetThreadDpiAwarenessContext() {
    // user32 is loaded for as long as the program runs, so the pointer stays good.
    static const SetThreadDpiAwarenessContextFunction bound = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        FARPROC address = user32 ? GetProcAddress(user32, "SetThreadDpiAwarenessContext") : nullptr;
        // Through void(*)(), which GCC lets convert to any function pointer without a warning.
        return reinterpret_cast<SetThreadDpiAwarenessContextFunction>(
            reinterpret_cast<void (*)()>(address));
    }();
    return bound;
}

}  // namespace

DpiAwarenessScope::DpiAwarenessScope(DpiAwareness awareness) {
    if (const auto set = BoundSetThreadDpiAwarenessContext()) {
        // Null when refused: the thread is unchanged.
        previous_ = set(reinterpret_cast<DpiAwarenessContext>(static_cast<INT_PTR>(awareness)));
    }
}

DpiAwarenessScope::~DpiAwarenessScope() {
    if (previous_ != nullptr) {
        BoundSetThreadDpiAwarenessContext()(previous_);
    }
}

SIZE PrimaryScreenPixels() {
    const DpiAwarenessScope aware(DpiAwareness::kPerMonitor);
    const SIZE metrics{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (aware.Active()) {
        return metrics;
    }
    const WindowDc screen(nullptr);
    const int width = screen ? GetDeviceCaps(screen.Get(), DESKTOPHORZRES) : 0;
    const int height = screen ? GetDeviceCaps(screen.Get(), DESKTOPVERTRES) : 0;
    // 0 from a display driver that does not say: the metrics are then all there is.
    return width > 0 && height > 0 ? SIZE{width, height} : metrics;
}

}  // namespace velmora
