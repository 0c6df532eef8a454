// Move-only owners of Win32 handles, one kind per way of releasing them, each counting the
// handles it holds alive so that tests can prove that nothing leaks over a long run.
#pragma once

#include <windows.h>

#include <atomic>
#include <utility>

namespace velmora {

// A handle closed by Traits::Close, counted per Traits.
template <class Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {
        if (handle_) {
            ++live_;
        }
    }
    ~UniqueHandle() { Reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Handle{});
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }

    // Gives the handle up without closing it (for a handle that Windows has already freed).
    Handle Release() {
        if (handle_) {
            --live_;
        }
        return std::exchange(handle_, Handle{});
    }

    void Reset() {
        if (handle_) {
            Traits::Close(handle_);
            --live_;
            handle_ = Handle{};
        }
    }

    static int LiveCount() { return live_.load(); }

  private:
    Handle handle_{};
    static inline std::atomic<int> live_{0};
};

struct BitmapTraits {
    using Handle = HBITMAP;
    static void Close(HBITMAP h) { DeleteObject(h); }
};
struct FontTraits {
    using Handle = HFONT;
    static void Close(HFONT h) { DeleteObject(h); }
};
struct BrushTraits {
    using Handle = HBRUSH;
    static void Close(HBRUSH h) { DeleteObject(h); }
};
struct PenTraits {
    using Handle = HPEN;
    static void Close(HPEN h) { DeleteObject(h); }
};
// A DC from CreateCompatibleDC: DeleteDC, not ReleaseDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static void Close(HDC h) { DeleteDC(h); }
};
struct ProcessTraits {
    using Handle = HANDLE;
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct ThreadTraits {
    using Handle = HANDLE;
    static void Close(HANDLE h) { CloseHandle(h); }
};
// A window that we created and destroy ourselves. Children of a destroyed window are gone
// with it; their owners must Release() on WM_NCDESTROY so as not to destroy a reused handle.
struct WindowTraits {
    using Handle = HWND;
    static void Close(HWND h) { DestroyWindow(h); }
};

// What a Win32 call allocated with LocalAlloc for its caller (CommandLineToArgvW's list).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static void Close(HLOCAL h) { LocalFree(h); }
};

using BitmapHandle = UniqueHandle<BitmapTraits>;
using FontHandle = UniqueHandle<FontTraits>;
using BrushHandle = UniqueHandle<BrushTraits>;
using PenHandle = UniqueHandle<PenTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using ProcessHandle = UniqueHandle<ProcessTraits>;
using ThreadHandle = UniqueHandle<ThreadTraits>;
using WindowHandle = UniqueHandle<WindowTraits>;
using LocalMemory = UniqueHandle<LocalMemoryTraits>;

// A DC from GetDC, given back with ReleaseDC on the same window (hwnd null: the screen).
class WindowDc {
  public:
    WindowDc() = default;
    explicit WindowDc(HWND hwnd);
    ~WindowDc() { Reset(); }
    WindowDc(WindowDc&& other) noexcept;
    WindowDc& operator=(WindowDc&& other) noexcept;
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void Reset();

    static int LiveCount() { return live_.load(); }

  private:
    HWND hwnd_ = nullptr;
    HDC dc_ = nullptr;
    static inline std::atomic<int> live_{0};
};

// BeginPaint ... EndPaint around one WM_PAINT; lives on the stack of the paint handler.
class PaintDc {
  public:
    explicit PaintDc(HWND hwnd);
    ~PaintDc();
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC Get() const { return dc_; }
    const RECT& Dirty() const { return paint_.rcPaint; }

    static int LiveCount() { return live_.load(); }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
    static inline std::atomic<int> live_{0};
};

// Selects a GDI object into a DC and selects the previous one back when it goes out of scope,
// so that the object can be deleted afterwards (a selected object cannot be).
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object);
    ~SelectGuard();
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

    static int LiveCount() { return live_.load(); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
    static inline std::atomic<int> live_{0};
};

// How many handles of each kind are held alive by the wrappers above.
struct LiveHandles {
    int bitmaps = 0;
    int fonts = 0;
    int brushes = 0;
    int pens = 0;
    int memoryDcs = 0;
    int windowDcs = 0;
    int paintDcs = 0;
    int selections = 0;
    int processes = 0;
    int threads = 0;
    int windows = 0;

    bool operator==(const LiveHandles& other) const;
    bool operator!=(const LiveHandles& other) const { return !(*this == other); }
};
LiveHandles CountLiveHandles();

}  // namespace velmora
