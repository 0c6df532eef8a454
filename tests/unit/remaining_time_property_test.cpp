// Random and mutated field texts and clock readings against a reference that reads the
// texts another way and does the arithmetic in plain 64-bit integers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "scheduler/remaining_time.h"

namespace velmora {
namespace {

// One million natively and under the sanitizers; VELMORA_PROPERTY_ITERATIONS overrides it
// (the Windows test program sets a smaller default, as Wine runs it far slower).
#ifndef VELMORA_PROPERTY_DEFAULT_ITERATIONS
#define VELMORA_PROPERTY_DEFAULT_ITERATIONS 1000000
#endif

bool Fits32(std::int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The field's value, or nullopt when it is not a number or has more than 12 digits.
std::optional<std::int64_t> RefParse(std::wstring_view text) {
    const std::wstring blanks = L" \t\u3000";
    std::wstring body(text);
    const std::size_t first = body.find_first_not_of(blanks);
    if (first == std::wstring::npos) {
        return std::nullopt;
    }
    body = body.substr(first, body.find_last_not_of(blanks) - first + 1);
    const bool negative = body[0] == L'-';
    if (body[0] == L'-' || body[0] == L'+') {
        body.erase(0, 1);
    }
    const std::size_t dot = body.find(L'.');
    std::wstring whole = body.substr(0, dot);
    std::wstring fraction = dot == std::wstring::npos ? L"" : body.substr(dot + 1);
    auto digits = [](const std::wstring& s) {
        return std::all_of(s.begin(), s.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    if (!digits(whole) || !digits(fraction) || whole.size() + fraction.size() == 0) {
        return std::nullopt;
    }
    whole.erase(0, std::min(whole.find_first_not_of(L'0'), whole.size()));
    if (whole.size() > 12) {
        return std::nullopt;  // far outside 32 bits either way
    }
    std::int64_t magnitude =
        whole.empty() ? 0 : std::stoll(std::string(whole.begin(), whole.end()));
    fraction.erase(std::min(fraction.find_last_not_of(L'0') + 1, fraction.size()));
    if (!fraction.empty() && (fraction > L"5" || (fraction == L"5" && magnitude % 2 == 1))) {
        ++magnitude;  // "51" > "5" as strings: more than a half
    }
    return negative ? -magnitude : magnitude;
}

// nullopt means invalid.
std::optional<std::int64_t> RefRemaining(const DateTime& now, const TargetTexts& target) {
    const std::int64_t weights[6] = {32140800, 2678400, 86400, 3600, 60, 1};
    std::int64_t sum = 0;
    for (int i = 0; i < 6; ++i) {
        const std::optional<std::int64_t> value = RefParse(target[i]);
        if (!value || !Fits32(*value)) {
            return std::nullopt;
        }
        if (i == 0 && *value < 1972) {
            return 0;
        }
        const std::int64_t factor = i == 0 ? *value - 1972 : *value;
        sum += factor * weights[i];
        if (!Fits32(factor) || !Fits32(factor * weights[i]) || !Fits32(sum)) {
            return std::nullopt;
        }
    }
    const std::int64_t present = (std::int64_t{now.year} - 1972) * 32140800 +
                                 std::int64_t{now.month} * 2678400 + std::int64_t{now.day} * 86400 +
                                 now.hour * 3600 + now.minute * 60 + now.second;
    if (!Fits32(present)) {
        return std::nullopt;
    }
    if (sum <= present) {
        return 0;
    }
    return Fits32(sum - present) ? std::optional<std::int64_t>(sum - present) : std::nullopt;
}

class Generator {
  public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    std::int64_t Between(std::int64_t lo, std::int64_t hi) {
        return std::uniform_int_distribution<std::int64_t>(lo, hi)(random_);
    }
    int Below(int n) { return static_cast<int>(Between(0, n - 1)); }

    DateTime Clock() {
        switch (Below(10)) {
            case 0:  // the top of the scale, 2038-09-24 03:14:07, give or take a minute
                return {2038, 9, 24, 3, 14, static_cast<int>(Between(-60, 60))};
            case 1:  // the bottom, 1905-02-06 20:45:52
                return {1905, 2, 6, 20, 45, static_cast<int>(Between(-8, 112))};
            default: {
                const bool any = Below(8) == 0;
                return {static_cast<int>(any ? Between(1900, 2100) : Between(2000, 2036)),
                        Below(12) + 1,
                        Below(31) + 1,
                        Below(24),
                        Below(60),
                        Below(60)};
            }
        }
    }

    // Six texts; often a target close to `now`, so counting, due and past all come up.
    std::array<std::wstring, 6> Target(const DateTime& now) {
        const int values[6] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
        std::array<std::wstring, 6> texts;
        const bool nearNow = Below(2) == 0;
        for (int i = 0; i < 6; ++i) {
            if (nearNow && Below(8) != 0) {
                // Separate statements: the order of the draws must not depend on the compiler.
                const std::int64_t step = Between(-2, 2);
                texts[i] = Decorate(Padded(values[i] + step * (Below(4) == 0 ? 7 : 1)));
            } else {
                texts[i] = Field(i);
            }
            if (Below(12) == 0) {
                Mutate(texts[i]);
            }
        }
        return texts;
    }

  private:
    std::wstring Padded(std::int64_t value) {
        std::wstring digits = std::to_wstring(value < 0 ? -value : value);
        if (digits.size() < 2 && Below(2) == 0) {
            digits.insert(0, 1, L'0');
        }
        return (value < 0 ? L"-" : L"") + digits;
    }

    std::wstring Fraction() {
        static const wchar_t* const kFractions[] = {
            L".5",  L".50", L".4999", L".5001", L".0", L".", L".9", L".500000000000000000001",
            L".25", L".75"};
        return kFractions[Below(10)];
    }

    // Blanks around, a "+" or extra leading zeros, a fraction; all still a number.
    std::wstring Decorate(std::wstring text) {
        static const wchar_t* const kBlanks[] = {L"", L" ", L"\t", L"\u3000", L" \u3000"};
        switch (Below(6)) {
            case 0: {
                const std::wstring before = kBlanks[Below(5)];
                return before + text + kBlanks[Below(5)];
            }
            case 1:
                return text[0] == L'-' ? text : L"+" + text;
            case 2:
                return text[0] == L'-' ? text : std::wstring(Below(30), L'0') + text;
            case 3:
                return text + Fraction();
            default:
                return text;
        }
    }

    std::wstring Field(int index) {
        switch (Below(8)) {
            case 0:
                return index == 0 ? Padded(Between(1965, 2045)) : Padded(Between(-99, 99));
            case 1: {  // right at the 32-bit edges
                const std::int64_t edge = Below(2) == 0 ? INT32_MAX : INT32_MIN;
                return Decorate(std::to_wstring(edge + Between(-3, 3)));
            }
            case 2:  // anywhere in (and a little beyond) the 32-bit range
                return Decorate(std::to_wstring(Between(-3000000000LL, 3000000000LL)));
            case 3: {  // a long digit string
                std::wstring digits(Between(9, 40), L'0');
                for (wchar_t& digit : digits) {
                    digit = static_cast<wchar_t>(L'0' + Below(10));
                }
                return (Below(3) == 0 ? L"-" : L"") + digits;
            }
            case 4: {
                const std::wstring whole = Padded(Between(0, 59));
                return whole + Fraction();
            }
            case 5: {  // letters, Chinese, blanks, lone signs, empty
                static const wchar_t* const kJunk[] = {L"",    L" ",   L"-",        L"+",   L".",
                                                       L"abc", L"五",  L"二〇一四", L"1a",  L"a1",
                                                       L"--1", L"1e5", L"\u3000",   L"0x1F"};
                return kJunk[Below(14)];
            }
            case 6: {
                std::wstring text = Padded(Between(0, 2100));
                Mutate(text);
                return text;
            }
            default:
                return Padded(Between(0, 59));
        }
    }

    void Mutate(std::wstring& text) {
        static const std::wstring kAlphabet = L"0123456789 +-.\t\u3000aZe,五中１";
        for (int n = 1 + Below(3); n > 0; --n) {
            const std::size_t at = Below(static_cast<int>(text.size()) + 1);
            const wchar_t c = kAlphabet[Below(static_cast<int>(kAlphabet.size()))];
            const int how = Below(3);
            if (how == 0) {
                text.insert(at, 1, c);
            } else if (at < text.size()) {
                how == 1 ? void(text.erase(at, 1)) : void(text[at] = c);
            }
        }
    }

    std::mt19937_64 random_;
};

TEST(RemainingSecondsPropertyTest, AgreesWithTheReferenceOnRandomAndMutatedInput) {
    Generator generate(0x5eedf00dULL);
    const char* override = std::getenv("VELMORA_PROPERTY_ITERATIONS");
    const long iterations =
        override ? std::strtol(override, nullptr, 10) : VELMORA_PROPERTY_DEFAULT_ITERATIONS;
    long counting = 0, due = 0, invalid = 0, mismatches = 0;
    for (long n = 0; n < iterations && mismatches < 10; ++n) {
        const DateTime now = generate.Clock();
        const std::array<std::wstring, 6> texts = generate.Target(now);
        const TargetTexts target = {texts[0], texts[1], texts[2], texts[3], texts[4], texts[5]};
        const std::optional<std::int32_t> got = RemainingSeconds(now, target);
        const std::optional<std::int64_t> want = RefRemaining(now, target);
        if (got.has_value() != want.has_value() || (got && *got != *want)) {
            ++mismatches;
            ADD_FAILURE() << "now " << now.year << "-" << now.month << "-" << now.day << " "
                          << now.hour << ":" << now.minute << ":" << now.second << " target "
                          << testing::PrintToString(texts) << " got " << testing::PrintToString(got)
                          << " want " << testing::PrintToString(want);
        }
        (!want ? invalid : *want > 0 ? counting : due)++;
    }
    // The mix must reach every outcome often enough to mean something.
    EXPECT_GT(counting, iterations / 20);
    EXPECT_GT(due, iterations / 20);
    EXPECT_GT(invalid, iterations / 20);
    std::printf("%ld iterations: %ld counting, %ld due, %ld invalid\n", iterations, counting, due,
                invalid);
}

TEST(ReferenceTest, ReadsLikeTheFieldsAreMeantToBeRead) {
    // The reference itself must be right for the comparison to mean anything.
    EXPECT_EQ(RefParse(L" -02.5 "), -2);
    EXPECT_EQ(RefParse(L"3.50"), 4);
    EXPECT_EQ(RefParse(L"2.51"), 3);
    EXPECT_EQ(RefParse(L"0000000000000000000012"), 12);
    EXPECT_EQ(RefParse(L"1234567890123"), std::nullopt);
    EXPECT_EQ(RefParse(L"1.2.3"), std::nullopt);
    EXPECT_EQ(RefRemaining({2014, 5, 23, 13, 58, 43}, {L"2014", L"05", L"23", L"22", L"00", L"00"}),
              28877);
}

}  // namespace
}  // namespace velmora
