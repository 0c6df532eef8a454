// PLACEHOLDER until the core lands.
#include "actions/picker_request.h"
namespace velmora {
PickerRequest BuildPickerRequest(std::wstring_view) { return {}; }
std::wstring PickerResultText(bool, std::wstring_view) { return {}; }
}
