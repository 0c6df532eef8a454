// The program picker's open-file dialog: GetOpenFileNameW of comdlg32.dll, bound by name at its
// first call, shown for a PickerRequest.
#pragma once

#include <windows.h>

#include <string>

#include "actions/picker_request.h"

namespace velmora {

struct PickerAnswer {
    bool chosen = false;
    // The file buffer as the dialog left it, all of its characters (the path, a NUL and the
    // blanks it did not overwrite).
    std::wstring fileBuffer;
};

// Shows the modal dialog, owned by `owner`, and returns when it closes. Cancel, close and a
// failing dialog all answer "not chosen", and so does a system without the function.
PickerAnswer ShowOpenFileDialog(HWND owner, HINSTANCE instance, const PickerRequest& request);

// The full path of the running program's own file.
std::wstring ProgramFilePath();

}  // namespace velmora
