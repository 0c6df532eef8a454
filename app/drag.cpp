// PLACEHOLDER until the core lands.
#include "app/drag.h"
namespace velmora {
DragStep ClassifyButtons(std::int16_t) { return DragStep::kNothing; }
GripPoint RememberGripPoint(float, float) { return {}; }
WindowPosition DraggedPosition(WindowPosition c, GripPoint, float, float) { return c; }
std::wstring BrowserCommandLine() { return {}; }
}
