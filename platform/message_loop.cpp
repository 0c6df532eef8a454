// RunMessageLoop and DoEvents share one way of delivering a message.
#include "platform/message_loop.h"

#include <windows.h>

#include "platform/form.h"

namespace velmora {

namespace {

void Deliver(MSG& msg) {
    Form* form = Form::FromWindow(msg.hwnd);
    if (form != nullptr && form->PreTranslate(msg)) {
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
