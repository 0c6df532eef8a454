// The edits of the target: the six fields Combo1(1..6) and the program path Text5 report to
// TargetEdits when they change and when an edit is finished, so that a running countdown never
// works on a text that is still being typed.
#include <windows.h>

#include "app/form1.h"

namespace velmora {

TargetEntry Form1::LiveTarget() {
    TargetEntry live;
    for (int i = 1; i <= 6; ++i) {
        live[static_cast<size_t>(i - 1)] = Combo1(i).Text();
    }
    live[kProgramPathPart] = Text5().Text();
    return live;
}

// The control's own WM_KILLFOCUS has already moved the focus when its container hears of it.
bool Form1::FocusInWindow() {
    HWND focus = GetFocus();
    return focus != nullptr && IsChild(Me().Hwnd(), focus);
}

void Form1::Combo1_Change(std::int16_t index) {
    targetEdits_.NoteEdit(index - 1);
}

// The item picked, not the field's text: the field may show it only after this notification.
void Form1::Combo1_Click(std::int16_t index) {
    ComboBox& combo = Combo1(index);
    targetEdits_.NoteConfirmed(index - 1, combo.List(combo.ListIndex()));
}

// Focus that leaves the window altogether (another program activated) finishes nothing: the
// user went away in the middle of the edit, and comes back to it.
void Form1::Combo1_LostFocus(std::int16_t index) {
    if (FocusInWindow()) {
        targetEdits_.NoteConfirmed(index - 1, Combo1(index).Text());
    }
}

void Form1::Combo1_EnterKey(std::int16_t index) {
    targetEdits_.NoteConfirmed(index - 1, Combo1(index).Text());
}

void Form1::Text5_Change() {
    targetEdits_.NoteEdit(kProgramPathPart);
}

void Form1::Text5_LostFocus() {
    if (FocusInWindow()) {
        targetEdits_.NoteConfirmed(kProgramPathPart, Text5().Text());
    }
}

void Form1::Text5_EnterKey() {
    targetEdits_.NoteConfirmed(kProgramPathPart, Text5().Text());
}

}  // namespace velmora
