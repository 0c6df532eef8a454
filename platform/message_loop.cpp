// RunMessageLoop and DoEvents share one way of delivering a message.
#include "platform/message_loop.h"

#include <windows.h>

#include "platform/form.h"

namespace velmora {

namespace {

// A dialog box's own loop gives each message to IsDialogMessage first; that is where Escape,
// Enter and Tab become Cancel, OK and the next control. The open-file dialog is open while a
// tick's grace wait lets its messages through here, so this loop must do the same, or the
// dialog's keys are dead for the length of the wait.
bool DeliveredToDialog(MSG& msg) {
    if (msg.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    wchar_t className[8] = {};
    if (root == nullptr || GetClassNameW(root, className, 8) == 0 ||
        lstrcmpW(className, L"#32770") != 0) {
        return false;
    }
    return IsDialogMessageW(root, &msg) != FALSE;
}

void Deliver(MSG& msg) {
    Form* form = Form::FromWindow(msg.hwnd);
    if (form != nullptr) {
        if (form->PreTranslate(msg)) {
            return;
        }
    } else if (DeliveredToDialog(msg)) {
        return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

int RunMessageLoop() {
    MSG msg{};
    for (;;) {
        BOOL result = GetMessageW(&msg, nullptr, 0, 0);
        if (result == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (result == -1) {
            return -1;
        }
        Deliver(msg);
    }
}

bool DoEvents() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        Deliver(msg);
    }
    return true;
}

}  // namespace velmora
