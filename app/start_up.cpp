// Start-up values that need no window: the preset target texts and pixel sizes.
#include "app/start_up.h"

#include <climits>
#include <cmath>

namespace velmora {

std::array<std::wstring, 6> PresetFieldTexts(const DateTime& now) {
    return {ZeroPadded(now.year, 1), ZeroPadded(now.month, 2),  ZeroPadded(now.day, 2),
            ZeroPadded(now.hour, 2), ZeroPadded(now.minute, 2), ZeroPadded(now.second, 2)};
}

int TwipsToPixels(double twips) {
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const double pixels = std::nearbyint(twips / kTwipsPerPixel);
    if (std::isnan(pixels)) {
        return 0;
    }
    if (pixels <= INT_MIN) {
        return INT_MIN;
    }
    if (pixels >= INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(pixels);
}

}  // namespace velmora
