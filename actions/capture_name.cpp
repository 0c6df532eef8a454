// The capture file's path, named after the moment of the capture.
#include "actions/capture_name.h"

namespace velmora {

std::wstring CaptureFilePath(const DateTime& captureTime) {
    return kCaptureFolder + ZeroPadded(captureTime.year, 4) + ZeroPadded(captureTime.month, 2) +
           ZeroPadded(captureTime.day, 2) + ZeroPadded(captureTime.hour, 2) +
           ZeroPadded(captureTime.minute, 2) + ZeroPadded(captureTime.second, 2) + L".BMP";
}

}  // namespace velmora
