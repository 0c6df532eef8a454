// A window that holds controls: the form itself, a frame or a picture box. It paints its
// windowless controls (labels, shapes) rearmost first on its own surface, and routes pointer
// input over its area: Windows routes it to windowed children by itself; of the rest, the
// frontmost label under the pointer gets it, and where there is none the container does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi_cache.h"
#include "platform/handles.h"
#include "ui/control_table.h"

namespace velmora {

// Twips (from the container's inner top-left corner) to pixels, each edge rounded on its own so
// that rectangles which touch in twips touch in pixels.
RECT ToPixels(const TwipsRect& rect);

// Arguments of a MouseMove event: buttons held (1 left, 2 right, 4 middle, summed), modifier
// keys (1 Shift, 2 Ctrl, 4 Alt, summed), and the pointer in twips from the control's top-left.
struct PointerEvent {
    std::int16_t button = 0;
    std::int16_t shift = 0;
    float x = 0;
    float y = 0;
};
using PointerHandler = std::function<void(const PointerEvent&)>;
using ClickHandler = std::function<void()>;

class Container;
class WindowedControl;

// A control without a window of its own, drawn by its container.
class Windowless {
  public:
    virtual ~Windowless() = default;
    Windowless(const Windowless&) = delete;
    Windowless& operator=(const Windowless&) = delete;

    const TwipsRect& Rect() const { return rect_; }
    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }

    // Labels receive pointer input over their whole rectangle, shapes never.
    virtual bool TakesPointer() const = 0;
    virtual void Paint(HDC dc, GdiCache& gdi) const = 0;

    // Raised for a label pressed and released with the left button while over it.
    ClickHandler onClick;
    PointerHandler onMouseMove;

  protected:
    Windowless(Container& parent, const TwipsRect& rect) : parent_(parent), rect_(rect) {}
    // Asks the container to repaint this control's rectangle.
    void Invalidate() const;

  private:
    Container& parent_;
    TwipsRect rect_;
};

class Container {
  public:
    virtual ~Container();
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    HWND Hwnd() const { return window_.Get(); }
    GdiCache& Gdi() { return gdi_; }

    // Windowless controls are added front to back: the first one added is frontmost.
    void AddWindowless(Windowless& control);
    // Windowed children register so that the container can answer their notifications
    // (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM), which Windows sends to the parent.
    void AddWindowed(WindowedControl& control);
    const std::vector<WindowedControl*>& WindowedChildren() const { return windowed_; }
    // Puts the windowed children into this stacking order, front to back, and starts the one
    // group of the container at the frontmost: Windows finds an auto radio button's group by
    // WS_GROUP in z-order, so all option buttons of the container form one group.
    void ArrangeWindowedChildren(const std::vector<HWND>& frontToBack);
    // The next free child-window identifier.
    int NextControlId() { return nextControlId_++; }

    Colour BackColour() const { return backColour_; }
    void SetBackColour(Colour colour);

    // Repaints a rectangle given in twips of the inner area.
    void Invalidate(const TwipsRect& rect) const;

    // The container's own pointer movement: where no windowed control or label lies.
    PointerHandler onMouseMove;

  protected:
    Container(GdiCache& gdi, Colour backColour);

    // Creates the window; `this` reaches WM_NCCREATE through lpParam and is kept in
    // GWLP_USERDATA, so no window needs a global to find its object.
    void CreateContainerWindow(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y,
                               int width, int height, HWND parent, int id);
    static void RegisterContainerClass(const wchar_t* className, HICON bigIcon, HICON smallIcon);

    // The flat message switch shared by all containers; subclasses handle their own messages
    // first and pass the rest here.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    void OnPaint();
    void OnEraseBackground(HDC dc);
    // Draws the labels and shapes over the background colour within `dirty` onto `target`.
    void Draw(HDC target, const RECT& dirty);
    void OnPointerMove(WPARAM keys, int x, int y);
    void OnButtonDown(UINT message, int x, int y);
    void OnButtonUp(UINT message, WPARAM keys, int x, int y);
    void OnCaptureLost();
    void OnCommand(int id, int code);
    LRESULT OnControlColour(HDC dc, HWND control);
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnNcDestroy();

    // The label that gets pointer input at the point, or nullptr for the container itself.
    Windowless* LabelAt(TwipsPoint p) const;
    WindowedControl* ControlFor(HWND child) const;
    void RaisePointerMove(Windowless* target, WPARAM keys, TwipsPoint p);

    // The off-screen buffer of the last small paint, kept for the next: a tick repaints the
    // same label every second, and making a memory DC and a DIB section for each one costs
    // more than drawing the label. Large paints get a buffer for that paint only.
    struct BackBuffer {
        BitmapHandle bitmap;  // destroyed after the DC it is selected into
        MemoryDc dc;
        int width = 0;
        int height = 0;
        // The DC goes first: a bitmap still selected into a DC cannot be deleted.
        void Clear() {
            dc = MemoryDc();
            bitmap = BitmapHandle();
            width = height = 0;
        }
    };
    // A buffer at least width x height, selected into its DC; false if none can be made.
    bool PrepareBackBuffer(HDC windowDc, int width, int height);

    GdiCache& gdi_;
    BackBuffer buffer_;
    WindowHandle window_;
    Colour backColour_;
    std::vector<Windowless*> windowless_;  // front to back
    std::vector<WindowedControl*> windowed_;
    int nextControlId_ = 100;

    // Pointer capture: from a button press until all buttons are up, moves go to the target
    // that was under the pointer at the press, also outside its rectangle.
    bool captured_ = false;
    Windowless* captureTarget_ = nullptr;
    Windowless* pressedLabel_ = nullptr;  // left button went down over this label
};

// Buttons and modifier keys of a mouse message's wParam, as PointerEvent counts them.
std::int16_t ButtonState(WPARAM keys);
std::int16_t ShiftState(WPARAM keys);

}  // namespace velmora
