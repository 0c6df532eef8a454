// The screen capture taken during the grace of a graceful shutdown or restart: the whole primary
// screen at its real resolution (on a scaled display too) copied into the form's persistent
// image and saved as C:\QORN\yyyymmddhhmmss.BMP.
#pragma once

#include <windows.h>

#include "platform/clock.h"
#include "platform/form.h"

namespace velmora {

// Copies the primary screen, `size` pixels from its top-left corner, into `target`; false when
// the copy failed.
using ScreenCopy = bool (*)(HDC target, SIZE size);

// GetDC(0) and BitBlt. BitBlt fails where the screen cannot be read (a locked workstation, the
// secure desktop, a disconnected remote session).
bool CopyScreen(HDC target, SIZE size);

// Takes one clock reading for the file's name. Any failure on the way (the copy, GDI, memory,
// the file) ends the capture quietly with no file and the window as it was, so no file ever
// holds a black image or an earlier capture's pixels under a new time: the shutdown command,
// issued before, stands either way, and the tick must go on to stop the timer.
void CaptureScreenToFile(Form& form, Clock& clock, ScreenCopy copy = CopyScreen) noexcept;

}  // namespace velmora
