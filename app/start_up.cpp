// Start-up values that need no window: the preset target texts.
#include "app/start_up.h"

namespace velmora {

std::array<std::wstring, 6> PresetFieldTexts(const DateTime& now) {
    return {ZeroPadded(now.year, 1), ZeroPadded(now.month, 2),  ZeroPadded(now.day, 2),
            ZeroPadded(now.hour, 2), ZeroPadded(now.minute, 2), ZeroPadded(now.second, 2)};
}

}  // namespace velmora
