// PLACEHOLDER until the core lands.
#include "actions/capture_name.h"
namespace velmora {
std::wstring CaptureFilePath(const DateTime&) { return {}; }
}
