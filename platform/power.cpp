// AwakeRequest: ES_CONTINUOUS | ES_SYSTEM_REQUIRED while held, ES_CONTINUOUS alone to give it
// back (the state lasts until changed, not just for the call). The request is the thread's, and
// Windows drops it when the thread ends, so a crash cannot leave the system awake for good.
#include "platform/power.h"

#include <windows.h>

namespace velmora {

AwakeRequest::~AwakeRequest() {
    Hold(false);
}

void AwakeRequest::Hold(bool held) {
    if (held == held_) {
        return;
    }
    // Fails only for flags Windows does not know; these are there since Windows 2000.
    if (SetThreadExecutionState(held ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS) != 0) {
        held_ = held;
    }
}

}  // namespace velmora
