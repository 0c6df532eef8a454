// PLACEHOLDER until the core lands.
#include "app/start_up.h"
#include <cmath>
namespace velmora {
std::array<std::wstring, 6> PresetFieldTexts(const DateTime&) { return {}; }
int TwipsToPixels(double twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); }
}
