// The program's one top-level window: a borderless popup without a taskbar button, with its
// geometry in twips (15 to a pixel), a background colour, a window state, a persistent-image
// setting, its timers and its keyboard focus order.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/container.h"
#include "platform/focus.h"
#include "platform/handles.h"
#include "platform/persistent_image.h"

namespace velmora {

class Delay;
class Timer;

enum class WindowState { kNormal = 0, kMinimised = 1 };

struct FormOptions {
    std::wstring caption;
    float width = 0;  // twips
    float height = 0;
    Colour backColour = 0;
    int iconResourceId = 1;  // no icon when the program file has none with this id
};

class Form : public Container {
  public:
    // Creates the window hidden, centred on the screen. Show it with SetWindowPos or Show().
    Form(GdiCache& gdi, const FormOptions& options);
    ~Form() override;

    // Position and size in twips. Each reports exactly the value last set as long as the
    // window still has the pixel size (or position) that value gave it; once something else
    // has changed it, the window's own pixels times 15.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetWidth(float twips);
    void SetHeight(float twips);
    // Moves the window, keeping its size.
    void Move(float left, float top);

    WindowState State() const;
    void SetState(WindowState state);
    void Show();

    // The persistent image: off as created. Switched on, it is an off-screen bitmap the size
    // of the primary screen in real pixels, which Dc() then draws into; it is never shown on
    // the window. Switched off, the image is dropped and Dc() draws on the window again.
    // Switching it on throws Win32Error or std::bad_alloc when the image cannot be made,
    // leaving it off.
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool on);
    // Tests only: the size in pixels that the image takes instead of the screen's.
    void SetImageSizeForTesting(int width, int height) { imageSizeForTesting_ = {width, height}; }
    // Where drawing on the form goes: the persistent image while it is on, else the window's
    // client area (that DC is released when the result goes).
    DrawingDc Dc() const;
    // Saves the persistent image as a BMP file; false when it is off or cannot be written.
    bool SaveImage(const std::wstring& path) const;

    // Ends the program: destroys the window, which posts WM_QUIT to the message loop.
    void EndProgram();
    // True once the window has been destroyed by EndProgram or by Windows.
    bool Ended() const { return ended_; }

    FocusCycle& Focus() { return focus_; }
    // Keyboard navigation for the message loop; true when msg was used. Enter is also reported
    // to the control it is pressed in (kEnterPressed), and then goes on to it as usual.
    bool PreTranslate(const MSG& msg);
    // The Form whose window holds `window`, or null.
    static Form* FromWindow(HWND window);

    // For Timer: registration, so that WM_TIMER reaches the right one.
    UINT_PTR AddTimer(Timer& timer);
    void RemoveTimer(Timer& timer);
    UINT_PTR AddDelay(Delay& delay);
    void RemoveDelay(Delay& delay);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // A length as last set in twips, with the pixels it gave.
    struct SetLength {
        float twips = 0;
        int pixels = 0;
        bool set = false;
    };
    static float Reported(const SetLength& length, int pixels);
    // The window's rectangle, with the size kept for it while hidden.
    RECT OuterRect() const;
    void Resize(int width, int height);
    void TakePendingSize(WINDOWPOS& change);
    void OnTimer(UINT_PTR id);
    // The wall clock was set, or the computer woke from sleep: every timer ticks at once.
    void OnClockJump();
    void OnActivate(bool active);
    void OnDestroy();

    SetLength left_, top_, width_, height_;
    SIZE pendingSize_{};  // set while hidden, for the change that shows the window
    bool sizePending_ = false;
    bool autoRedraw_ = false;
    std::unique_ptr<PersistentImage> image_;
    SIZE imageSizeForTesting_{};  // 0 x 0: the screen's
    bool ended_ = false;
    FocusCycle focus_;
    HWND savedFocus_ = nullptr;
    std::vector<Timer*> timers_;
    std::vector<Delay*> delays_;
    UINT_PTR nextTimerId_ = 1;
};

}  // namespace velmora
