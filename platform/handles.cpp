// The handle owners that need more than one handle to release theirs, and the live counts.
#include "platform/handles.h"

namespace velmora {

WindowDc::WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    if (dc_) {
        ++live_;
    }
}

WindowDc::WindowDc(WindowDc&& other) noexcept
    : hwnd_(std::exchange(other.hwnd_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}

WindowDc& WindowDc::operator=(WindowDc&& other) noexcept {
    if (this != &other) {
        Reset();
        hwnd_ = std::exchange(other.hwnd_, nullptr);
        dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
}

void WindowDc::Reset() {
    if (dc_) {
        ReleaseDC(hwnd_, dc_);
        --live_;
        dc_ = nullptr;
        hwnd_ = nullptr;
    }
}

PaintDc::PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {
    ++live_;
}

PaintDc::~PaintDc() {
    // EndPaint must follow every BeginPaint, even one that gave no DC, or the window keeps
    // its update region and Windows sends WM_PAINT again and again.
    EndPaint(hwnd_, &paint_);
    --live_;
}

SelectGuard::SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {
    ++live_;
}

SelectGuard::~SelectGuard() {
    if (previous_ && previous_ != HGDI_ERROR) {
        SelectObject(dc_, previous_);
    }
    --live_;
}

bool LiveHandles::operator==(const LiveHandles& o) const {
    return bitmaps == o.bitmaps && fonts == o.fonts && brushes == o.brushes && pens == o.pens &&
           memoryDcs == o.memoryDcs && windowDcs == o.windowDcs && paintDcs == o.paintDcs &&
           selections == o.selections && processes == o.processes && threads == o.threads &&
           windows == o.windows;
}

LiveHandles CountLiveHandles() {
    LiveHandles live;
    live.bitmaps = BitmapHandle::LiveCount();
    live.fonts = FontHandle::LiveCount();
    live.brushes = BrushHandle::LiveCount();
    live.pens = PenHandle::LiveCount();
    live.memoryDcs = MemoryDc::LiveCount();
    live.windowDcs = WindowDc::LiveCount();
    live.paintDcs = PaintDc::LiveCount();
    live.selections = SelectGuard::LiveCount();
    live.processes = ProcessHandle::LiveCount();
    live.threads = ThreadHandle::LiveCount();
    live.windows = WindowHandle::LiveCount();
    return live;
}

}  // namespace velmora
