// Dragging the borderless window by its grips (Label5, Frame1, Frame2) and the web link.
#include <windows.h>

#include "app/form1.h"

namespace velmora {

namespace {

// One pointer move over a grip: the left button alone drags the window so that the point
// remembered on the grip stays under the pointer, no button remembers the point, and any
// other buttons do nothing.
void MoveByGrip(Form& me, GripPoint& remembered, std::int16_t button, float x, float y) {
    switch (ClassifyButtons(button)) {
        case DragStep::kMove: {
            const WindowPosition moved = DraggedPosition({me.Left(), me.Top()}, remembered, x, y);
            me.Move(moved.left, moved.top);
            break;
        }
        case DragStep::kRemember:
            remembered = RememberGripPoint(x, y);
            break;
        case DragStep::kNothing:
            break;
    }
}

}  // namespace

void Form1::Label5_MouseMove(std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    MoveByGrip(Me(), label5Grip_, button, x, y);
}

void Form1::Frame1_MouseMove(std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    MoveByGrip(Me(), frame1Grip_, button, x, y);
}

void Form1::Frame2_MouseMove(std::int16_t button, std::int16_t /*shift*/, float x, float y) {
    MoveByGrip(Me(), frame2Grip_, button, x, y);
}

// Started by its full path, so no C:\Program.exe or similar can stand in for it; then left
// alone: whether the browser is there at all is not looked at.
void Form1::Label12_Click() {
    runner_.Start({BrowserCommandLine(), SW_SHOWNORMAL, kBrowserPath, {}});
}

}  // namespace velmora
