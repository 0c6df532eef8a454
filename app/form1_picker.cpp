// Command1_Click: choosing the program to start in the open-file dialog.
#include <windows.h>

#include "actions/picker.h"
#include "app/form1.h"

namespace velmora {

// The dialog is modal and runs its own message loop: Timer1 keeps ticking behind it, and a due
// action's capture is taken on time while it is open.
void Form1::Command1_Click() {
    const PickerRequest request = BuildPickerRequest(ProgramFilePath());
    const PickerAnswer answer = ShowOpenFileDialog(Me().Hwnd(), GetModuleHandleW(nullptr), request);
    Text5().SetText(PickerResultText(answer.chosen, answer.fileBuffer));
    // A path the picker fills in is a finished edit: in force at the next tick.
    targetEdits_.NoteConfirmed(kProgramPathPart, Text5().Text());
}

}  // namespace velmora
