// The screen capture taken during the grace of a graceful shutdown or restart: the whole screen
// copied into the form's persistent image and saved as C:\QORN\yyyymmddhhmmss.BMP.
#pragma once

#include "platform/clock.h"
#include "platform/form.h"

namespace velmora {

// Takes one clock reading for the file's name. A file that cannot be written is left out
// without a word: the shutdown command, issued before, stands either way.
void CaptureScreenToFile(Form& form, Clock& clock);

}  // namespace velmora
