// Start-up decisions that need no window: the preset texts of the six target fields and
// the twips-to-pixels conversion used for the window's size.
#pragma once

#include <array>
#include <string>

#include "scheduler/date_time.h"

namespace velmora {

inline constexpr wchar_t kMakeCaptureFolderCommand[] = L"cmd.exe /c MD C:\\QORN\\";
inline constexpr unsigned kKeyColour = 0x282828;  // COLORREF of RGB(40, 40, 40)
inline constexpr double kTwipsPerPixel = 15.0;

// Year unpadded; month, day, hour, minute, second two digits ("07", "10").
std::array<std::wstring, 6> PresetFieldTexts(const DateTime& now);

// twips / 15, rounded to the nearest whole number, ties to even (112.5 px -> 112).
int TwipsToPixels(double twips);

}  // namespace velmora
