// PLACEHOLDER until the core lands.
#include "scheduler/tick.h"
namespace velmora {
std::wstring CountdownText(std::int32_t) { return {}; }
std::wstring PresentTimeText(const DateTime&) { return {}; }
bool IsRunning(std::wstring_view) { return false; }
TickDecision DecideTick(const DateTime&, std::wstring_view, const TargetTexts&) { return {}; }
DueAction DecideDueAction(ActionOption, std::wstring_view) { return {}; }
std::optional<std::wstring> StartProgramCommandLine(std::wstring_view) { return std::nullopt; }
}
