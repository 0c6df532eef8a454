// The message loop of the user-interface thread, and DoEvents for handlers that must let
// pending window messages be processed in the middle of their work.
#pragma once

namespace velmora {

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Processes every pending message (keyboard navigation included) and returns. False once the
// program is ending: WM_QUIT was seen, and is posted again so that the main loop ends too.
bool DoEvents();

}  // namespace velmora
