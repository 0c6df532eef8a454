// The timer's own seconds scale, on which every month has 31 days, and the seconds left
// until the target typed into the six fields.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "scheduler/date_time.h"

namespace velmora {

inline constexpr std::int32_t kBaseYear = 1972;
inline constexpr std::int32_t kSecondsPerPseudoYear = 32140800;  // 372 days
inline constexpr std::int32_t kSecondsPerPseudoMonth = 2678400;  // 31 days

enum class FieldStatus { kOk, kNotANumber, kOverflow };

struct FieldNumber {
    FieldStatus status = FieldStatus::kNotANumber;
    std::int32_t value = 0;  // meaningful only with kOk
};

// Reads one field's text as a whole number: optional blanks around (space, tab, the
// ideographic space U+3000 that Chinese input methods type), an optional sign, decimal
// digits (leading zeros allowed), an optional decimal fraction rounded to the nearest whole
// number with halves going to the even neighbour. Empty or other text is kNotANumber; a
// value outside the signed 32-bit range is kOverflow. Digit strings of any length are fine.
FieldNumber ParseFieldText(std::wstring_view text);

// The pseudo-timestamp of six calendar values, or nothing when it does not fit in a
// signed 32-bit integer. The sum is formed exactly in 64-bit arithmetic and only the total
// is tested; used for the clock reading.
std::optional<std::int32_t> PseudoTimestamp(std::int32_t year, std::int32_t month, std::int32_t day,
                                            std::int32_t hour, std::int32_t minute,
                                            std::int32_t second);
std::optional<std::int32_t> PseudoTimestamp(const DateTime& moment);

// The same sum in signed 32-bit arithmetic with a test after every step (the year's
// subtraction, each multiplication, each addition, left to right): used for the target,
// so a year term that does not fit is an overflow even if later terms would bring the sum
// back into range. Fields are year, month, day, hour, minute, second.
std::optional<std::int32_t> CheckedPseudoTimestamp(const std::array<std::int32_t, 6>& fields);

// The target as the six field texts: year, month, day, hour, minute, second.
using TargetTexts = std::array<std::wstring_view, 6>;

// Seconds from `now` until the target, never negative; 0 means due. A target year below
// 1972 is due at once (the other fields are then not read). Nothing is returned for an
// invalid target: a field that is not a number, or any overflow of the signed 32-bit
// scale (the target's sum, the difference, or the present time outside
// 1905-02-06 20:45:52 .. 2038-09-24 03:14:07).
std::optional<std::int32_t> RemainingSeconds(const DateTime& now, const TargetTexts& target);

}  // namespace velmora
