// The fixed twips-to-pixels conversion.
#include "ui/twips.h"

#include <climits>
#include <cmath>

namespace velmora {

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
