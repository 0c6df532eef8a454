// The command labels LabelGN(0..4) (views, start, pause, exit) and the clicks of Option1 and
// Option2.
#include "app/form1.h"

namespace velmora {

void Form1::LabelGN_Click(std::int16_t /*index*/) {}

void Form1::Option1_Click() {}

void Form1::Option2_Click() {}

}  // namespace velmora
