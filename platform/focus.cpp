// FocusCycle: our own Tab handling, since IsDialogMessage follows the z-order of the child
// windows, which here is the stacking order of the layout and not its tab order.
#include "platform/focus.h"

#include <cwchar>

namespace velmora {

namespace {

// Like a dialog, select the whole text of an edit field or combo box that Tab moves into.
void SelectAllText(HWND window) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (_wcsicmp(className, L"Edit") == 0) {
        SendMessageW(window, EM_SETSEL, 0, -1);
    } else if (_wcsicmp(className, L"ComboBox") == 0) {
        SendMessageW(window, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
}

bool IsWithin(HWND window, HWND ancestor) {
    return window == ancestor || (window != nullptr && IsChild(ancestor, window));
}

}  // namespace

void FocusCycle::AddStop(HWND window, std::function<bool()> isStop) {
    stops_.push_back({window, std::move(isStop)});
}

void FocusCycle::SetOptionGroup(std::vector<HWND> options) {
    options_ = std::move(options);
}

bool FocusCycle::IsStopNow(const Stop& stop) const {
    return IsWindowVisible(stop.window) && IsWindowEnabled(stop.window) &&
           (!stop.isStop || stop.isStop());
}

HWND FocusCycle::First() const {
    for (const Stop& stop : stops_) {
        if (IsStopNow(stop)) {
            return stop.window;
        }
    }
    return nullptr;
}

int FocusCycle::IndexHolding(HWND focus) const {
    // The innermost stop wins: a combo box's edit field lies in the combo box, which lies in a
    // picture box that is a stop of its own.
    int found = -1;
    for (size_t i = 0; i < stops_.size(); ++i) {
        if (IsWithin(focus, stops_[i].window) &&
            (found < 0 || IsChild(stops_[found].window, stops_[i].window))) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

HWND FocusCycle::Next(HWND focus, bool backwards) const {
    int count = static_cast<int>(stops_.size());
    if (count == 0) {
        return nullptr;
    }
    int from = IndexHolding(focus);
    if (from < 0) {
        from = backwards ? 0 : count - 1;
    }
    for (int step = 1; step <= count; ++step) {
        int i = ((from + (backwards ? -step : step)) % count + count) % count;
        if (IsStopNow(stops_[i])) {
            return stops_[i].window;
        }
    }
    return nullptr;
}

bool FocusCycle::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) {
        return false;
    }
    if (msg.wParam == VK_TAB) {
        if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) {
            return false;
        }
        HWND next = Next(GetFocus(), GetKeyState(VK_SHIFT) < 0);
        if (next) {
            SetFocus(next);
            SelectAllText(next);
        }
        return true;
    }
    bool forward = msg.wParam == VK_DOWN || msg.wParam == VK_RIGHT;
    bool backward = msg.wParam == VK_UP || msg.wParam == VK_LEFT;
    if (!forward && !backward) {
        return false;
    }
    HWND focus = GetFocus();
    int count = static_cast<int>(options_.size());
    for (int i = 0; i < count; ++i) {
        if (options_[i] != focus) {
            continue;
        }
        HWND next = options_[((i + (forward ? 1 : -1)) % count + count) % count];
        SetFocus(next);
        // As in a dialog, moving onto an option button selects it (and raises its click).
        SendMessageW(next, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

}  // namespace velmora
