// Command1_Click: choosing the program to start in the open-file dialog.
#include <windows.h>

#include "actions/picker.h"
#include "app/form1.h"

namespace velmora {

// The dialog is modal and runs its own message loop: Timer1 keeps ticking behind it.
void Form1::Command1_Click() {
    // Opened during a due tick's grace wait, the dialog's loop would hold the wait, and the
    // screenshot after it, until the dialog closed: long after the shutdown's 20 s. The click
    // is dropped then.
    if (inGraceWait_) {
        return;
    }
    const PickerRequest request = BuildPickerRequest(ProgramFilePath());
    const PickerAnswer answer = ShowOpenFileDialog(Me().Hwnd(), GetModuleHandleW(nullptr), request);
    Text5().SetText(PickerResultText(answer.chosen, answer.fileBuffer));
    // A path the picker fills in is a finished edit: in force at the next tick.
    targetEdits_.NoteConfirmed(kProgramPathPart, Text5().Text());
}

}  // namespace velmora
