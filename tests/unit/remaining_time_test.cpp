// The remaining time against a reference that reads the field texts another way and does the
// arithmetic in plain 64-bit integers: on worked examples, then on random and mutated input.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "scheduler/remaining_time.h"

namespace velmora {
namespace {

using Result = std::optional<std::int64_t>;  // nothing: invalid

bool Fits32(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The field's value, or nothing when it is not a number or has more than 12 digits.
Result RefParse(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t\u3000");
    if (first == text.npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(L" \t\u3000") - first + 1);
    const bool negative = text[0] == L'-';
    text.remove_prefix(text[0] == L'-' || text[0] == L'+' ? 1 : 0);
    const std::size_t dot = std::min(text.find(L'.'), text.size());
    std::wstring whole(text.substr(0, dot)), fraction(text.substr(std::min(dot + 1, text.size())));
    auto digits = [](const std::wstring& s) {
        return s.find_first_not_of(L"0123456789") == s.npos;
    };
    whole.erase(0, std::min(whole.find_first_not_of(L'0'), whole.size()));
    fraction.erase(std::min(fraction.find_last_not_of(L'0') + 1, fraction.size()));
    if (!digits(whole) || !digits(fraction) || (dot == 0 && dot + 1 >= text.size()) ||
        whole.size() > 12)
        return std::nullopt;
    std::int64_t magnitude =
        whole.empty() ? 0 : std::stoll(std::string(whole.begin(), whole.end()));
    // "51" > "5" as strings: more than a half; a half goes to the even neighbour.
    magnitude += fraction > L"5" || (fraction == L"5" && magnitude % 2 == 1);
    return negative ? -magnitude : magnitude;
}

// Every step of the target's sum must fit in 32 bits; the present time is summed exactly.
Result RefRemaining(const DateTime& now, const TargetTexts& target) {
    const std::int64_t weights[6] = {32140800, 2678400, 86400, 3600, 60, 1};
    std::int64_t sum = 0;
    for (int i = 0; i < 6; ++i) {
        const Result value = RefParse(target[i]);
        if (!value || !Fits32(*value))
            return std::nullopt;
        if (i == 0 && *value < 1972)
            return 0;  // the other fields are not read
        const std::int64_t term = (i == 0 ? *value - 1972 : *value) * weights[i];
        sum += term;
        if (!Fits32(term) || !Fits32(sum))
            return std::nullopt;
    }
    const std::int64_t present = (now.year - 1972LL) * 32140800 + now.month * 2678400LL +
                                 now.day * 86400LL + now.hour * 3600 + now.minute * 60 + now.second;
    if (!Fits32(present) || !Fits32(sum - present))
        return Fits32(present) && sum <= present ? Result(0) : std::nullopt;
    return std::max<std::int64_t>(sum - present, 0);
}

const DateTime kMay{2014, 5, 23, 13, 58, 43}, kBottom{1905, 2, 6, 20, 45, 52};

TEST(RemainingSecondsTest, WorkedExamples) {
    const struct {
        DateTime now;
        std::array<std::wstring_view, 6> target;
        Result remaining;
    } cases[] = {
        {kMay, {L"2014", L"05", L"23", L"22", L"00", L"00"}, 28877},
        // The scale counts a 31 April and a 30 February that the calendar does not have.
        {{2014, 4, 30, 23, 59, 0}, {L"2014", L"05", L"01", L"00", L"01", L"00"}, 86520},
        {{2014, 3, 1, 0, 0, 0}, {L"2014", L"02", L"30", L"10", L"00", L"00"}, 0},
        {{2014, 12, 31, 23, 59, 59}, {L"2015", L"01", L"01", L"00", L"00", L"00"}, 1},
        {{2014, 5, 23, 22, 0, 0},
         {L" 2014 ", L"+5", L"23.5", L"21.5", L"\u300075", L"-1.5"},
         90898},
        {kMay, {L"2038", L"09", L"24", L"03", L"14", L"07"}, 782140524},
        {kMay, {L"2038", L"09", L"24", L"03", L"14", L"08"}, std::nullopt},
        {kMay, {L"2014", L"05", L"23", L"22", L"00", L"18446744073709551621"}, std::nullopt},
        // A year before 1972 is due at once, the other fields unread, whatever the clock says.
        {{2050, 1, 1, 0, 0, 0}, {L"1970.5", L"", L"x", L"五", L"9999999999999", L"-"}, 0},
        {kMay, {L"1971.5", L"", L"", L"", L"", L""}, std::nullopt},
        // A year term, or a partial sum, that does not fit is not rescued by a later field.
        {kMay, {L"2039", L"-12", L"0", L"0", L"0", L"0"}, std::nullopt},
        {kMay, {L"2038", L"12", L"0", L"0", L"0", L"-100000000"}, std::nullopt},
        // The clock outside the scale, and a difference that does not fit.
        {{2038, 9, 24, 3, 14, 8}, {L"2014", L"1", L"1", L"0", L"0", L"0"}, std::nullopt},
        {kBottom, {L"2038", L"09", L"24", L"03", L"14", L"07"}, std::nullopt},
        {kBottom, {L"1972", L"0", L"0", L"0", L"0", L"-1"}, INT32_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.target[0])));
        EXPECT_EQ(RefRemaining(c.now, c.target), c.remaining);
        const std::optional<std::int32_t> got = RemainingSeconds(c.now, c.target);
        EXPECT_EQ(got ? Result(*got) : std::nullopt, c.remaining);
    }
}

// Clock readings and field texts, two in three close to each other, at the edges of the scale
// and of 32 bits, dressed up or broken. One draw a statement: the order of the draws must not
// depend on the compiler.
class Generator {
  public:
    std::int64_t operator()(std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(random_);
    }
    template <std::size_t N>
    const wchar_t* Pick(const wchar_t* const (&list)[N]) {
        return list[(*this)(0, N - 1)];
    }

    DateTime Clock() {
        const std::int64_t kind = (*this)(0, 9);
        const int second = static_cast<int>((*this)(-60, 112));
        if (kind < 2)  // the top or the bottom of the scale, give or take a minute
            return kind == 0 ? DateTime{2038, 9, 24, 3, 14, second}
                             : DateTime{1905, 2, 6, 20, 45, second};
        int f[6] = {static_cast<int>(kind == 2 ? (*this)(1900, 2100) : (*this)(2000, 2036))};
        for (int i = 1; i < 6; ++i)
            f[i] = static_cast<int>((*this)(i < 3, i == 1 ? 12 : i == 2 ? 31 : i == 3 ? 23 : 59));
        return {f[0], f[1], f[2], f[3], f[4], f[5]};
    }

    std::wstring Field(std::int64_t value, bool nearNow, bool year) {
        static const wchar_t* const kJunk[] = {L"",    L"-",    L".",     L"abc",    L"五",
                                               L"1 2", L"0x1F", L"1.2.3", L"\u3000", L"1e5"};
        static const wchar_t* const kBefore[] = {
            L"", L"", L" ", L"\t", L"\u3000", L"+", L"000000000000000000000000000"};
        static const wchar_t* const kAfter[] = {
            L"",      L"",      L" \u3000", L".5", L".50",
            L".4999", L".5001", L".",       L".9", L".500000000000000000001"};
        const std::int64_t step = (*this)(-3, 3);
        const std::int64_t kind = nearNow && (*this)(0, 7) != 0 ? 0 : (*this)(1, 5);
        if (kind == 0)
            value += step * ((*this)(0, 3) == 0 ? 7 : 1);
        else if (kind == 1)  // at the 32-bit edges
            value = ((*this)(0, 1) == 0 ? INT32_MAX : INT32_MIN) + step;
        else if (kind == 2)
            value = (*this)(-3000000000LL, 3000000000LL);
        else if (kind == 3)
            value = year ? (*this)(1965, 2045) : (*this)(-99, 99);
        else
            return Pick(kJunk);
        std::wstring text = Pick(kBefore);
        text += std::to_wstring(value);
        text += Pick(kAfter);
        if ((*this)(0, 11) == 0) {
            const std::int64_t at = (*this)(0, text.size() - 1);
            text[at] = L"0 +-.a五１\t"[(*this)(0, 8)];
        }
        return text;
    }

  private:
    std::mt19937_64 random_{0x5eedf00dULL};
};

TEST(RemainingSecondsTest, AgreesWithTheReferenceOnRandomAndMutatedInput) {
    Generator generate;
    long counting = 0, due = 0, invalid = 0, mismatches = 0;
    for (long n = 0; n < 1000000 && mismatches < 10; ++n) {
        const DateTime now = generate.Clock();
        const int values[6] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        const bool nearNow = generate(0, 2) != 0;
        std::array<std::wstring, 6> texts;
        for (int i = 0; i < 6; ++i) {
            texts[i] = generate.Field(values[i], nearNow, i == 0);
        }
        const TargetTexts target = {texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]};
        const std::optional<std::int32_t> got = RemainingSeconds(now, target);
        const Result want = RefRemaining(now, target);
        if (got.has_value() != want.has_value() || (got && *got != *want)) {
            ++mismatches;
            ADD_FAILURE() << "now " << testing::PrintToString(PseudoTimestamp(now)) << " target "
                          << testing::PrintToString(texts) << " got " << testing::PrintToString(got)
                          << " want " << testing::PrintToString(want);
        }
        (!want ? invalid : *want > 0 ? counting : due)++;
    }
    // The mix must reach every outcome often enough to mean something.
    EXPECT_GT(counting, 50000);
    EXPECT_GT(due, 50000);
    EXPECT_GT(invalid, 50000);
}

}  // namespace
}  // namespace velmora
