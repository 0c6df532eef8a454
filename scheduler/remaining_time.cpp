// The seconds scale with 31-day months and the remaining time until the target fields.
// Every step that could leave the signed 32-bit range is tested before it is taken.
#include "scheduler/remaining_time.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::int32_t kSecondsPerDay = 86400;
constexpr std::int32_t kSecondsPerHour = 3600;
constexpr std::int32_t kSecondsPerMinute = 60;

// Above every 32-bit magnitude, so a saturated value always reads as an overflow; small
// enough that value * 10 + 9 cannot wrap in 64 bits.
constexpr std::uint64_t kSaturatedMagnitude = std::uint64_t{1} << 32;
constexpr std::uint64_t kLargestPositive = 0x7FFFFFFFu;
constexpr std::uint64_t kLargestNegative = 0x80000000u;

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\u3000';
}
bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

}  // namespace

FieldNumber ParseFieldText(std::wstring_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }

    std::size_t pos = begin;
    bool negative = false;
    if (pos < end && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }

    std::uint64_t magnitude = 0;
    std::size_t digitCount = 0;
    for (; pos < end && IsDigit(text[pos]); ++pos, ++digitCount) {
        magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(text[pos] - L'0'),
                             kSaturatedMagnitude);
    }

    // Only the first fraction digit and whether anything non-zero follows it matter for
    // rounding to the nearest whole number.
    int firstFractionDigit = -1;
    bool nonZeroAfterFirst = false;
    if (pos < end && text[pos] == L'.') {
        ++pos;
        for (; pos < end && IsDigit(text[pos]); ++pos, ++digitCount) {
            const int digit = text[pos] - L'0';
            if (firstFractionDigit < 0) {
                firstFractionDigit = digit;
            } else if (digit != 0) {
                nonZeroAfterFirst = true;
            }
        }
    }
    if (digitCount == 0 || pos != end) {
        return {FieldStatus::kNotANumber, 0};
    }

    const bool roundUp = firstFractionDigit > 5 ||
                         (firstFractionDigit == 5 && (nonZeroAfterFirst || magnitude % 2 == 1));
    if (roundUp) {
        magnitude = std::min(magnitude + 1, kSaturatedMagnitude);
    }
    if (magnitude > (negative ? kLargestNegative : kLargestPositive)) {
        return {FieldStatus::kOverflow, 0};
    }
    const auto wide = static_cast<std::int64_t>(magnitude);
    return {FieldStatus::kOk, static_cast<std::int32_t>(negative ? -wide : wide)};
}

std::optional<std::int32_t> PseudoTimestamp(std::int32_t year, std::int32_t month, std::int32_t day,
                                            std::int32_t hour, std::int32_t minute,
                                            std::int32_t second) {
    // With 32-bit inputs no term or partial sum comes near the 64-bit limits.
    const std::int64_t total =
        (std::int64_t{year} - kBaseYear) * kSecondsPerPseudoYear +
        std::int64_t{month} * kSecondsPerPseudoMonth + std::int64_t{day} * kSecondsPerDay +
        std::int64_t{hour} * kSecondsPerHour + std::int64_t{minute} * kSecondsPerMinute + second;
    if (total < INT32_MIN || total > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(total);
}

std::optional<std::int32_t> PseudoTimestamp(const DateTime& moment) {
    return PseudoTimestamp(moment.year, moment.month, moment.day, moment.hour, moment.minute,
                           moment.second);
}

std::optional<std::int32_t> CheckedPseudoTimestamp(const std::array<std::int32_t, 6>& fields) {
    static constexpr std::array<std::int32_t, 6> kWeights = {
        kSecondsPerPseudoYear, kSecondsPerPseudoMonth, kSecondsPerDay,
        kSecondsPerHour,       kSecondsPerMinute,      1};
    std::int32_t yearOffset = 0;
    if (__builtin_sub_overflow(fields[0], kBaseYear, &yearOffset)) {
        return std::nullopt;
    }
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::int32_t term = 0;
        if (__builtin_mul_overflow(i == 0 ? yearOffset : fields[i], kWeights[i], &term) ||
            __builtin_add_overflow(sum, term, &sum)) {
            return std::nullopt;
        }
    }
    return sum;
}

std::optional<std::int32_t> RemainingSeconds(const DateTime& now, const TargetTexts& target) {
    const FieldNumber year = ParseFieldText(target[0]);
    if (year.status != FieldStatus::kOk) {
        return std::nullopt;
    }
    if (year.value < kBaseYear) {
        return 0;  // long past: due, whatever the other fields hold
    }

    const std::optional<std::int32_t> present = PseudoTimestamp(now);
    if (!present) {
        return std::nullopt;
    }

    std::array<std::int32_t, 6> fields{};
    for (std::size_t i = 0; i < target.size(); ++i) {
        const FieldNumber field = ParseFieldText(target[i]);
        if (field.status != FieldStatus::kOk) {
            return std::nullopt;
        }
        fields[i] = field.value;
    }
    const std::optional<std::int32_t> wanted = CheckedPseudoTimestamp(fields);
    if (!wanted) {
        return std::nullopt;
    }
    if (*wanted <= *present) {
        return 0;
    }
    std::int32_t remaining = 0;
    if (__builtin_sub_overflow(*wanted, *present, &remaining)) {
        return std::nullopt;  // a present time before 1972 and a target far ahead
    }
    return remaining;
}

}  // namespace velmora
