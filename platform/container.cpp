// Container: the window class shared by the form and its panels, painting of windowless
// controls, pointer routing and capture, and the answers to the children's notifications.
#include "platform/container.h"

#include <windowsx.h>

#include "platform/controls.h"
#include "platform/win32_error.h"
#include "ui/twips.h"

namespace velmora {

RECT ToPixels(const TwipsRect& rect) {
    return RECT{TwipsToPixels(rect.left), TwipsToPixels(rect.top),
                TwipsToPixels(rect.left + rect.width), TwipsToPixels(rect.top + rect.height)};
}

std::int16_t ButtonState(WPARAM keys) {
    std::int16_t state = 0;
    if (keys & MK_LBUTTON)
        state |= 1;
    if (keys & MK_RBUTTON)
        state |= 2;
    if (keys & MK_MBUTTON)
        state |= 4;
    return state;
}

std::int16_t ShiftState(WPARAM keys) {
    std::int16_t state = 0;
    if (keys & MK_SHIFT)
        state |= 1;
    if (keys & MK_CONTROL)
        state |= 2;
    // Mouse messages do not carry the Alt key; ask the keyboard state of this message.
    if (GetKeyState(VK_MENU) < 0)
        state |= 4;
    return state;
}

void Windowless::Invalidate() const {
    parent_.Invalidate(rect_);
}

Container::Container(GdiCache& gdi, Colour backColour) : gdi_(gdi), backColour_(backColour) {}

Container::~Container() {
    if (window_) {
        // Detach first: the messages that DestroyWindow sends must not reach an object that is
        // half destroyed.
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
        window_.Reset();
    }
}

void Container::RegisterContainerClass(const wchar_t* className, HICON bigIcon, HICON smallIcon) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, className, &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Container::WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = bigIcon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = className;
    CheckCall(RegisterClassExW(&wc) != 0, "RegisterClassExW");
}

void Container::CreateContainerWindow(const wchar_t* className, DWORD exStyle, DWORD style, int x,
                                      int y, int width, int height, HWND parent, int id) {
    HMENU menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    HWND hwnd = CreateWindowExW(exStyle, className, L"", style, x, y, width, height, parent,
                                parent ? menu : nullptr, GetModuleHandleW(nullptr), this);
    CheckHandle(hwnd, "CreateWindowExW");
}

LRESULT CALLBACK Container::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardedWindowProc(hwnd, message, wParam, lParam, [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            auto* created = static_cast<Container*>(create->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            // Owned from the first message on: the creation messages already need Hwnd().
            created->window_ = WindowHandle(hwnd);
        }
        auto* self = reinterpret_cast<Container*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self == nullptr) {
            return DefWindowProcW(hwnd, message, wParam, lParam);
        }
        return self->HandleMessage(message, wParam, lParam);
    });
}

LRESULT Container::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = Hwnd();
    switch (message) {
        case WM_ERASEBKGND:
            OnEraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_MOUSEMOVE:
            OnPointerMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnButtonDown(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(message, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_CAPTURECHANGED:
            OnCaptureLost();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_NCDESTROY:
            OnNcDestroy();
            return DefWindowProcW(hwnd, message, wParam, lParam);
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Container::AddWindowless(Windowless& control) {
    windowless_.push_back(&control);
}

void Container::AddWindowed(WindowedControl& control) {
    windowed_.push_back(&control);
}

namespace {

// Whether the windows are the rearmost children of their parent, in this order front to back.
bool AtBottomInOrder(const std::vector<HWND>& frontToBack) {
    for (size_t i = 0; i < frontToBack.size(); ++i) {
        HWND next = GetWindow(frontToBack[i], GW_HWNDNEXT);
        if (next != (i + 1 < frontToBack.size() ? frontToBack[i + 1] : nullptr)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void Container::ArrangeWindowedChildren(const std::vector<HWND>& frontToBack) {
    // Windows puts a new child window below its siblings, so children made front to back are in
    // order already. Each SetWindowPos or style change costs a round of messages and server
    // calls (under Wine 8 ms for the window's 20 children): make only the ones needed.
    if (!AtBottomInOrder(frontToBack)) {
        for (HWND child : frontToBack) {
            SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        }
    }
    for (size_t i = 0; i < frontToBack.size(); ++i) {
        const LONG_PTR style = GetWindowLongPtrW(frontToBack[i], GWL_STYLE);
        const LONG_PTR grouped =
            i == 0 ? (style | WS_GROUP) : (style & ~static_cast<LONG_PTR>(WS_GROUP));
        if (grouped != style) {
            SetWindowLongPtrW(frontToBack[i], GWL_STYLE, grouped);
        }
    }
}

void Container::SetBackColour(Colour colour) {
    backColour_ = colour;
    if (Hwnd()) {
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
}

void Container::Invalidate(const TwipsRect& rect) const {
    if (Hwnd()) {
        RECT pixels = ToPixels(rect);
        InvalidateRect(Hwnd(), &pixels, FALSE);
    }
}

namespace {

// The off-screen buffer of a paint: a 32-bit DIB section rather than a compatible bitmap. Wine
// takes a compatible bitmap's pixels from the C heap of its Unix side, which keeps the space of
// the first, whole-window paints for good (80 KB of private memory); a DIB section's pixels are
// pages of their own that go back to the system with the bitmap.
HBITMAP CreateBackBuffer(HDC dc, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// Paints up to this size keep their buffer for the next paint (16 KB): the labels a tick
// changes fit in it, a whole-window paint does not, and its buffer goes back at once.
constexpr int kKeptBufferPixels = 4096;

}  // namespace

bool Container::PrepareBackBuffer(HDC windowDc, int width, int height) {
    if (buffer_.dc && buffer_.width >= width && buffer_.height >= height) {
        return true;
    }
    BackBuffer fresh;
    fresh.dc = MemoryDc(CreateCompatibleDC(windowDc));
    fresh.bitmap = BitmapHandle(CreateBackBuffer(windowDc, width, height));
    if (!fresh.dc || !fresh.bitmap) {
        return false;
    }
    // Selected for the buffer's whole life: DeleteDC comes first, so the bitmap is free to go.
    SelectObject(fresh.dc.Get(), fresh.bitmap.Get());
    buffer_.Clear();
    buffer_.dc = std::move(fresh.dc);
    buffer_.bitmap = std::move(fresh.bitmap);
    buffer_.width = width;
    buffer_.height = height;
    return true;
}

void Container::OnPaint() {
    PaintDc paint(Hwnd());
    if (paint.Get()) {
        Draw(paint.Get(), paint.Dirty());
    }
}

void Container::OnEraseBackground(HDC dc) {
    // The background is the whole content, drawn as WM_PAINT draws it. A window being shown is
    // erased there and then, inside the SetWindowPos that shows it, while its WM_PAINT waits for
    // the message loop: so the panel shows its boxes and texts from the moment it shows, and
    // never a bare background. WM_PAINT then draws the same again.
    RECT dirty{};
    if (dc != nullptr && GetClipBox(dc, &dirty) != ERROR) {
        Draw(dc, dirty);
    }
}

void Container::Draw(HDC target, const RECT& dirty) {
    // Only the dirty part is drawn: a tick changes one label a second, and redrawing the whole
    // panel for it would triple the program's idle CPU time. It is drawn off screen and copied
    // in one go, so the stacked controls never flicker.
    const int width = dirty.right - dirty.left;
    const int height = dirty.bottom - dirty.top;
    if (width <= 0 || height <= 0 || !PrepareBackBuffer(target, width, height)) {
        return;
    }
    HDC memory = buffer_.dc.Get();
    // The bitmap holds the dirty rectangle only; the viewport keeps the controls' coordinates.
    SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
    FillRect(memory, &dirty, gdi_.Brush(backColour_));
    for (auto it = windowless_.rbegin(); it != windowless_.rend(); ++it) {
        RECT bounds = ToPixels((*it)->Rect());
        RECT overlap{};
        if (IntersectRect(&overlap, &bounds, &dirty)) {
            (*it)->Paint(memory, gdi_);
        }
    }
    BitBlt(target, dirty.left, dirty.top, width, height, memory, dirty.left, dirty.top, SRCCOPY);
    if (buffer_.width * buffer_.height > kKeptBufferPixels) {
        buffer_.Clear();
    }
}

Windowless* Container::LabelAt(TwipsPoint p) const {
    std::vector<HitBox> boxes;
    boxes.reserve(windowless_.size());
    for (const Windowless* control : windowless_) {
        boxes.push_back({control->Rect(), control->TakesPointer()});
    }
    int hit = FrontmostHit(boxes, p);
    return hit >= 0 ? windowless_[hit] : nullptr;
}

void Container::RaisePointerMove(Windowless* target, WPARAM keys, TwipsPoint p) {
    PointerEvent event{ButtonState(keys), ShiftState(keys), p.x, p.y};
    if (target == nullptr) {
        if (onMouseMove) {
            onMouseMove(event);
        }
        return;
    }
    if (target->onMouseMove) {
        event.x -= target->Left();
        event.y -= target->Top();
        target->onMouseMove(event);
    }
}

namespace {

TwipsPoint ToTwips(int x, int y) {
    return {static_cast<float>(x) * static_cast<float>(kTwipsPerPixel),
            static_cast<float>(y) * static_cast<float>(kTwipsPerPixel)};
}

}  // namespace

void Container::OnPointerMove(WPARAM keys, int x, int y) {
    TwipsPoint p = ToTwips(x, y);
    Windowless* target = captured_ ? captureTarget_ : LabelAt(p);
    RaisePointerMove(target, keys, p);
}

void Container::OnButtonDown(UINT message, int x, int y) {
    Windowless* target = LabelAt(ToTwips(x, y));
    if (!captured_) {
        SetCapture(Hwnd());
        captured_ = true;
        captureTarget_ = target;
    }
    if (message == WM_LBUTTONDOWN) {
        pressedLabel_ = target;
    }
}

void Container::OnButtonUp(UINT message, WPARAM keys, int x, int y) {
    Windowless* clicked = nullptr;
    if (message == WM_LBUTTONUP) {
        if (pressedLabel_ != nullptr && LabelAt(ToTwips(x, y)) == pressedLabel_) {
            clicked = pressedLabel_;
        }
        pressedLabel_ = nullptr;
    }
    if (captured_ && ButtonState(keys) == 0) {
        ReleaseCapture();  // sends WM_CAPTURECHANGED, which clears the capture state
    }
    // Raised last: a click handler may open a dialog or end the program.
    if (clicked != nullptr && clicked->onClick) {
        clicked->onClick();
    }
}

void Container::OnCaptureLost() {
    captured_ = false;
    captureTarget_ = nullptr;
}

WindowedControl* Container::ControlFor(HWND child) const {
    for (WindowedControl* control : windowed_) {
        if (control->Owns(child)) {
            return control;
        }
    }
    return nullptr;
}

void Container::OnCommand(int id, int code) {
    for (WindowedControl* control : windowed_) {
        if (control->Id() == id) {
            control->OnCommand(code);
            return;
        }
    }
}

LRESULT Container::OnControlColour(HDC dc, HWND child) {
    WindowedControl* control = ControlFor(child);
    if (control == nullptr) {
        return reinterpret_cast<LRESULT>(gdi_.Brush(backColour_));
    }
    SetTextColor(dc, ResolveColour(control->ForeColour()));
    SetBkColor(dc, ResolveColour(control->BackColour()));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(gdi_.Brush(control->BackColour()));
}

bool Container::OnDrawItem(const DRAWITEMSTRUCT& item) {
    WindowedControl* control = ControlFor(item.hwndItem);
    return control != nullptr && control->OnDrawItem(item);
}

void Container::OnNcDestroy() {
    // Windows has destroyed the window (perhaps with its parent): forget the handle so that
    // it is never destroyed twice or looked up again.
    SetWindowLongPtrW(Hwnd(), GWLP_USERDATA, 0);
    window_.Release();
    buffer_.Clear();
    captured_ = false;
    captureTarget_ = nullptr;
    pressedLabel_ = nullptr;
}

}  // namespace velmora
