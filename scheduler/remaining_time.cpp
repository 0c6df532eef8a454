// PLACEHOLDER until the core lands.
#include "scheduler/remaining_time.h"
namespace velmora {
FieldNumber ParseFieldText(std::wstring_view) { return {}; }
std::optional<std::int32_t> PseudoTimestamp(std::int64_t, std::int64_t, std::int64_t, std::int64_t, std::int64_t, std::int64_t) { return std::nullopt; }
std::optional<std::int32_t> PseudoTimestamp(const DateTime&) { return std::nullopt; }
std::optional<std::int32_t> RemainingSeconds(const DateTime&, const TargetTexts&) { return std::nullopt; }
}
