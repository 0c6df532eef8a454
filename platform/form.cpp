// Form: the top-level window, its twips geometry, state, timers and activation focus.
#include "platform/form.h"

#include <algorithm>

#include "platform/controls.h"
#include "platform/screen.h"
#include "platform/start_notes.h"
#include "platform/timer.h"
#include "platform/win32_error.h"
#include "ui/twips.h"

namespace velmora {

namespace {

constexpr wchar_t kFormClass[] = L"VelmoraForm";

HICON LoadProgramIcon(int id, int sizeMetricX, int sizeMetricY) {
    if (id == 0) {
        return nullptr;
    }
    // LR_SHARED: the icon stays with the module, so nothing has to destroy it. A program file
    // without the icon (the test programs) gets a null icon.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, GetSystemMetrics(sizeMetricX),
                                         GetSystemMetrics(sizeMetricY), LR_SHARED));
}

}  // namespace

Form::Form(GdiCache& gdi, const FormOptions& options) : Container(gdi, options.backColour) {
    RegisterContainerClass(kFormClass,
                           LoadProgramIcon(options.iconResourceId, SM_CXICON, SM_CYICON),
                           LoadProgramIcon(options.iconResourceId, SM_CXSMICON, SM_CYSMICON));
    int width = TwipsToPixels(options.width);
    int height = TwipsToPixels(options.height);
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateContainerWindow(kFormClass, WS_EX_TOOLWINDOW, WS_POPUP | WS_CLIPCHILDREN, x, y, width,
                          height, nullptr, 0);
    SetWindowTextW(Hwnd(), options.caption.c_str());
    width_ = {options.width, width, true};
    height_ = {options.height, height, true};
}

Form::~Form() {
    for (Timer* timer : timers_) {
        KillTimer(Hwnd(), timer->Id());
    }
}

bool Form::PreTranslate(const MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd != nullptr) {
        // The key reaches a combo box's edit field, a child of the combo box: the combo box is
        // the control its container knows.
        HWND control = msg.hwnd;
        HWND parent = GetParent(control);
        wchar_t className[16] = {};
        if (parent != nullptr && GetClassNameW(parent, className, 16) != 0 &&
            lstrcmpiW(className, L"ComboBox") == 0) {
            control = parent;
            parent = GetParent(control);
        }
        if (parent != nullptr) {
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), kEnterPressed),
                         reinterpret_cast<LPARAM>(control));
        }
    }
    return focus_.PreTranslate(msg);
}

Form* Form::FromWindow(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    HWND root = GetAncestor(window, GA_ROOT);
    wchar_t className[32] = {};
    if (root == nullptr || GetClassNameW(root, className, 32) == 0 ||
        std::wstring_view(className) != kFormClass) {
        return nullptr;
    }
    return reinterpret_cast<Form*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

RECT Form::OuterRect() const {
    RECT r{};
    if (IsIconic(Hwnd())) {
        // A minimised window's rectangle is its icon's; its size is the one it returns to.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(Hwnd(), &placement);
        return placement.rcNormalPosition;
    }
    GetWindowRect(Hwnd(), &r);
    if (sizePending_) {
        r.right = r.left + pendingSize_.cx;
        r.bottom = r.top + pendingSize_.cy;
    }
    return r;
}

float Form::Reported(const SetLength& length, int pixels) {
    if (length.set && length.pixels == pixels) {
        return length.twips;
    }
    return static_cast<float>(pixels * kTwipsPerPixel);
}

float Form::Left() const {
    return Reported(left_, OuterRect().left);
}
float Form::Top() const {
    return Reported(top_, OuterRect().top);
}
float Form::Width() const {
    RECT r = OuterRect();
    return Reported(width_, r.right - r.left);
}
float Form::Height() const {
    RECT r = OuterRect();
    return Reported(height_, r.bottom - r.top);
}

void Form::SetWidth(float twips) {
    RECT r = OuterRect();
    int pixels = TwipsToPixels(twips);
    Resize(pixels, r.bottom - r.top);
    width_ = {twips, pixels, true};
}

void Form::SetHeight(float twips) {
    RECT r = OuterRect();
    int pixels = TwipsToPixels(twips);
    Resize(r.right - r.left, pixels);
    height_ = {twips, pixels, true};
}

void Form::Resize(int width, int height) {
    // A hidden window's size shows nowhere until the window does: it is kept for the
    // SetWindowPos that shows the window (WM_WINDOWPOSCHANGING), which the start-up makes right
    // after setting the width and the height. Each move of a top-level window, hidden too,
    // costs a round of messages and, under Wine, of server and monitor queries.
    if (!IsWindowVisible(Hwnd())) {
        pendingSize_ = {width, height};
        sizePending_ = true;
        return;
    }
    SetWindowPos(Hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::TakePendingSize(WINDOWPOS& change) {
    if (!sizePending_) {
        return;
    }
    // A change that gives no size of its own gets the kept one; one that does overrides it.
    if (change.flags & SWP_NOSIZE) {
        change.cx = pendingSize_.cx;
        change.cy = pendingSize_.cy;
        change.flags &= ~SWP_NOSIZE;
    }
    sizePending_ = false;
}

void Form::Move(float left, float top) {
    int x = TwipsToPixels(left);
    int y = TwipsToPixels(top);
    SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    left_ = {left, x, true};
    top_ = {top, y, true};
}

WindowState Form::State() const {
    return IsIconic(Hwnd()) ? WindowState::kMinimised : WindowState::kNormal;
}

void Form::SetState(WindowState state) {
    ShowWindow(Hwnd(), state == WindowState::kMinimised ? SW_MINIMIZE : SW_RESTORE);
}

void Form::Show() {
    ShowWindow(Hwnd(), SW_SHOW);
}

void Form::SetAutoRedraw(bool on) {
    if (!on) {
        autoRedraw_ = false;
        image_.reset();
        return;
    }
    // The size of the whole screen in real pixels, so that a copy of the screen fits in it
    // entire on a scaled display too; made again if the screen has changed size since.
    const SIZE screen = imageSizeForTesting_.cx ? imageSizeForTesting_ : PrimaryScreenPixels();
    const int width = screen.cx;
    const int height = screen.cy;
    if (!image_ || image_->Width() != width || image_->Height() != height) {
        // The old image goes first, as two screen-sized images may not fit at once. Should the
        // new one fail, the image stays off: Dc() then draws on the window, as it says.
        autoRedraw_ = false;
        image_.reset();
        image_ = std::make_unique<PersistentImage>(width, height);
    }
    autoRedraw_ = true;
}

DrawingDc Form::Dc() const {
    return image_ ? DrawingDc(image_->Dc()) : DrawingDc(WindowDc(Hwnd()));
}

bool Form::SaveImage(const std::wstring& path) const {
    return image_ && image_->SaveBmp(path);
}

void Form::EndProgram() {
    if (Hwnd()) {
        DestroyWindow(Hwnd());
    }
    ended_ = true;
}

UINT_PTR Form::AddTimer(Timer& timer) {
    timers_.push_back(&timer);
    return nextTimerId_++;
}

void Form::RemoveTimer(Timer& timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), &timer), timers_.end());
}

UINT_PTR Form::AddDelay(Delay& delay) {
    delays_.push_back(&delay);
    return nextTimerId_++;
}

void Form::RemoveDelay(Delay& delay) {
    delays_.erase(std::remove(delays_.begin(), delays_.end(), &delay), delays_.end());
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Container::HandleMessage(message, wParam, lParam);
            NoteFirstPaint();
            return 0;
        case WM_WINDOWPOSCHANGING:
            TakePendingSize(*reinterpret_cast<WINDOWPOS*>(lParam));
            return Container::HandleMessage(message, wParam, lParam);
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        case WM_TIMECHANGE:
            OnClockJump();
            return 0;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMEAUTOMATIC) {
                OnClockJump();
            }
            return TRUE;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return Container::HandleMessage(message, wParam, lParam);
    }
}

void Form::OnTimer(UINT_PTR id) {
    for (Timer* timer : timers_) {
        if (timer->Id() == id) {
            timer->OnTimerMessage();
            return;
        }
    }
    for (Delay* delay : delays_) {
        if (delay->Id() == id) {
            delay->OnTimerMessage();
            return;
        }
    }
}

void Form::OnClockJump() {
    // A copy: a tick may stop or start timers.
    const std::vector<Timer*> timers = timers_;
    for (Timer* timer : timers) {
        timer->OnClockJump();
    }
}

void Form::OnActivate(bool active) {
    // A plain window gives the focus to itself on activation; like a dialog, hand it to the
    // control that had it last, or the first stop when the window first shows.
    if (active) {
        HWND target = savedFocus_ && IsChild(Hwnd(), savedFocus_) ? savedFocus_ : focus_.First();
        SetFocus(target ? target : Hwnd());
        return;
    }
    HWND focus = GetFocus();
    if (focus && IsChild(Hwnd(), focus)) {
        savedFocus_ = focus;
    }
}

void Form::OnDestroy() {
    ended_ = true;
    PostQuitMessage(0);
}

}  // namespace velmora
