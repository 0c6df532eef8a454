// Twips, the unit every position and size of the window is given in: points, rectangles and
// the fixed conversion to pixels.
#pragma once

namespace velmora {

// 1440 twips to the inch at a fixed 96 dots per inch, whatever the display's own setting.
inline constexpr double kTwipsPerPixel = 15.0;

// twips / 15, rounded to the nearest whole number, ties to even (112.5 px -> 112).
int TwipsToPixels(double twips);

struct TwipsPoint {
    float x = 0;
    float y = 0;
};

// Left and top from the top-left corner of the container's inner area.
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    // Half-open: the left and top edges belong to the rectangle, the right and bottom do not,
    // so that two rectangles that touch edge to edge never both hold a point.
    bool Contains(TwipsPoint p) const {
        return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
    }
};

}  // namespace velmora
