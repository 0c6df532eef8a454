// The fonts, brushes and pens of one window, each made once on first use and owned until the
// window goes: painting and WM_CTLCOLOR* answers never create GDI objects of their own.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "platform/handles.h"
#include "ui/control_table.h"

namespace velmora {

// Point size to the LOGFONT height at a fixed 96 dots per inch, like the fixed 15 twips per
// pixel of the geometry: 9 pt gives -12, 10.5 pt gives -14 (negative: character height).
int FontHeightForPoints(float points);

// kSystemButtonText becomes the system's button-text colour; every other colour is itself.
COLORREF ResolveColour(Colour colour);

class GdiCache {
  public:
    HFONT Font(const FontSpec& spec);
    HBRUSH Brush(Colour colour);
    // A pen drawn inside the figure's bounds (PS_INSIDEFRAME), as the shapes' borders are.
    HPEN Pen(Colour colour, int width);

  private:
    std::map<std::tuple<std::wstring, float, int, int>, FontHandle> fonts_;
    std::map<COLORREF, BrushHandle> brushes_;
    std::map<std::pair<COLORREF, int>, PenHandle> pens_;
};

}  // namespace velmora
