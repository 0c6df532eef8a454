// PLACEHOLDER until the core lands.
#include "scheduler/command_labels.h"
namespace velmora {
LabelClickEffects DecideLabelClick(std::int16_t, const LabelClickInput&) { return {}; }
}
