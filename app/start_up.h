// Start-up decisions that need no window: the folder command, the key colour and the preset
// texts of the six target fields.
#pragma once

#include <array>
#include <string>

#include "scheduler/date_time.h"

namespace velmora {

inline constexpr wchar_t kMakeCaptureFolderCommand[] = L"cmd.exe /d /c MD C:\\QORN\\";
inline constexpr unsigned kKeyColour = 0x282828;  // COLORREF of RGB(40, 40, 40)

// Year unpadded; month, day, hour, minute, second two digits ("07", "10").
std::array<std::wstring, 6> PresetFieldTexts(const DateTime& now);

}  // namespace velmora
