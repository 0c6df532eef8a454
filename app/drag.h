// Dragging the borderless window by its grips, and the web link: plain arithmetic and texts.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// Where the pointer was last seen on one grip, in whole twips.
struct GripPoint {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

enum class DragStep { kMove, kRemember, kNothing };

// Exactly the left button (1) drags, no button (0) remembers, anything else does nothing.
DragStep ClassifyButtons(std::int16_t buttonState);

// x and y rounded half to even into 16-bit integers (clamped to the 16-bit range).
GripPoint RememberGripPoint(float x, float y);

struct WindowPosition {
    float left = 0;  // twips
    float top = 0;
};

// New position so that the remembered point stays under the pointer at (x, y).
WindowPosition DraggedPosition(WindowPosition current, GripPoint remembered, float x, float y);

// The web address that Label12 shows and opens (a placeholder that never resolves), the
// browser, and its command line: the browser's path quoted, then the address as its only
// argument (unquoted, the blanks of "Program Files" would split the path into arguments).
inline constexpr wchar_t kWebAddress[] = L"velmora.test";
inline constexpr wchar_t kLinkCaption[] = L"网址：velmora.test";
inline constexpr wchar_t kBrowserPath[] = L"C:\\Program Files\\Internet Explorer\\iexplore.exe";
std::wstring BrowserCommandLine();

}  // namespace velmora
