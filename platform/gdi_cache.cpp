// GdiCache: fonts, brushes and pens made once per window.
#include "platform/gdi_cache.h"

#include <cmath>
#include <string>

#include "platform/win32_error.h"

namespace velmora {

int FontHeightForPoints(float points) {
    return -static_cast<int>(std::lround(points * 96.0 / 72.0));
}

COLORREF ResolveColour(Colour colour) {
    return colour == kSystemButtonText ? GetSysColor(COLOR_BTNTEXT) : colour;
}

HFONT GdiCache::Font(const FontSpec& spec) {
    auto key = std::make_tuple(std::wstring(spec.face), spec.points, spec.weight, spec.charset);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) {
        return found->second.Get();
    }
    HFONT font = CheckHandle(
        CreateFontW(FontHeightForPoints(spec.points), 0, 0, 0, spec.weight, FALSE, FALSE, FALSE,
                    static_cast<BYTE>(spec.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, spec.face),
        "CreateFontW");
    return fonts_.emplace(key, FontHandle(font)).first->second.Get();
}

HBRUSH GdiCache::Brush(Colour colour) {
    COLORREF rgb = ResolveColour(colour);
    auto found = brushes_.find(rgb);
    if (found != brushes_.end()) {
        return found->second.Get();
    }
    HBRUSH brush = CheckHandle(CreateSolidBrush(rgb), "CreateSolidBrush");
    return brushes_.emplace(rgb, BrushHandle(brush)).first->second.Get();
}

HPEN GdiCache::Pen(Colour colour, int width) {
    auto key = std::make_pair(ResolveColour(colour), width);
    auto found = pens_.find(key);
    if (found != pens_.end()) {
        return found->second.Get();
    }
    HPEN pen = CheckHandle(CreatePen(PS_INSIDEFRAME, width, key.first), "CreatePen");
    return pens_.emplace(key, PenHandle(pen)).first->second.Get();
}

}  // namespace velmora
