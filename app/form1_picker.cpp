// Command1_Click: choosing the program to start in the open-file dialog.
#include "app/form1.h"

namespace velmora {

void Form1::Command1_Click() {}

}  // namespace velmora
