// CaptureScreenToFile: screen DC to the persistent image with BitBlt in real pixels, then the
// BMP file.
#include "actions/capture.h"

#include <windows.h>

#include "actions/capture_name.h"
#include "platform/handles.h"
#include "platform/screen.h"

namespace velmora {

bool CopyScreen(HDC target, SIZE size) {
    WindowDc screen(nullptr);  // GetDC(0): the whole screen
    return BitBlt(target, 0, 0, size.cx, size.cy, screen.Get(), 0, 0, SRCCOPY) != FALSE;
}

void CaptureScreenToFile(Form& form, Clock& clock, ScreenCopy copy) noexcept {
    try {
        // Throws when the screen-sized image cannot be made (a large screen in a 32-bit
        // process), before anything is drawn: the copy must land in the image, never on the
        // window, which is what Dc() gives while the image is off.
        {
            // Per-monitor aware for the copy alone: on a scaled display the sizes and the
            // copy are then both in real pixels. The window, made unaware, stays as it is.
            const DpiAwarenessScope aware(DpiAwareness::kPerMonitor);
            form.SetAutoRedraw(true);
            const DrawingDc target = form.Dc();
            if (!copy(target.Get(), PrimaryScreenPixels())) {
                return;  // the image holds nothing of this moment: no file
            }
        }  // the thread's awareness goes back here, before the slow part

        const std::wstring path = CaptureFilePath(clock.Now());
        // The folder is made at every start, but that command may have failed, or the folder
        // may have been removed since; fails harmlessly when it is there.
        CreateDirectoryW(kCaptureFolder, nullptr);
        form.SaveImage(path);
    } catch (...) {
        // No file; the caller's tick goes on exactly as after a capture that was written.
    }
}

}  // namespace velmora
