// Timer1_Timer: once a second, the present date and time, the countdown, and the due action.
#include "app/form1.h"

namespace velmora {

void Form1::Timer1_Timer() {}

}  // namespace velmora
