// Dragging the borderless window by its grips, and the browser command line of the link.
#include "app/drag.h"

#include <cmath>
#include <cstdint>

namespace velmora {

namespace {

std::int16_t RoundToInt16(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    // Ties to even in the default rounding mode; clamp because, while a grip holds the
    // pointer capture, the pointer can be reported far outside the grip.
    const float rounded = std::nearbyint(value);
    if (rounded <= INT16_MIN) {
        return INT16_MIN;
    }
    if (rounded >= INT16_MAX) {
        return INT16_MAX;
    }
    return static_cast<std::int16_t>(rounded);
}

// i686 GCC evaluates float expressions on the x87 stack in extended precision and (before
// GCC 13, in C++) does not round on assignment; passing through memory forces each step to
// single precision, as the window framework computes it.
float ToSingle(float value) {
    volatile float stored = value;
    return stored;
}

}  // namespace

DragStep ClassifyButtons(std::int16_t buttonState) {
    switch (buttonState) {
        case 1:
            return DragStep::kMove;  // the left button alone, whatever the shift keys
        case 0:
            return DragStep::kRemember;
        default:
            return DragStep::kNothing;
    }
}

GripPoint RememberGripPoint(float x, float y) {
    return {RoundToInt16(x), RoundToInt16(y)};
}

WindowPosition DraggedPosition(WindowPosition current, GripPoint remembered, float x, float y) {
    const float left = ToSingle(ToSingle(current.left - static_cast<float>(remembered.x)) + x);
    const float top = ToSingle(ToSingle(current.top - static_cast<float>(remembered.y)) + y);
    return {left, top};
}

std::wstring BrowserCommandLine() {
    return L'"' + std::wstring(kBrowserPath) + L"\" " + kWebAddress;
}

}  // namespace velmora
