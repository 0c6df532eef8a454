// The screen capture taken during the grace of a graceful shutdown or restart: the whole primary
// screen at its real resolution (on a scaled display too) copied into the form's persistent
// image and saved as C:\QORN\yyyymmddhhmmss.BMP.
#pragma once

#include "platform/clock.h"
#include "platform/form.h"

namespace velmora {

// Takes one clock reading for the file's name. Any failure on the way (GDI, memory, the file)
// ends the capture quietly with no file and the window as it was: the shutdown command, issued
// before, stands either way, and the tick must go on to stop the timer.
void CaptureScreenToFile(Form& form, Clock& clock) noexcept;

}  // namespace velmora
