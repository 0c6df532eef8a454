// The name of the screen capture file: C:\QORN\ + yyyymmddhhmmss + .BMP.
#pragma once

#include <string>

#include "scheduler/date_time.h"

namespace velmora {

inline constexpr wchar_t kCaptureFolder[] = L"C:\\QORN\\";

std::wstring CaptureFilePath(const DateTime& captureTime);

}  // namespace velmora
