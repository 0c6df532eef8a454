// A field's text as a number, and the remaining time on the 31-day-month scale, at the edges of
// the scale and of 32 bits.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "scheduler/remaining_time.h"

namespace velmora {
namespace {

TEST(ParseFieldTextTest, WholeNumbersWithBlanksSignAndAFractionRoundedHalfToEven) {
    const std::pair<const wchar_t*, std::int32_t> numbers[] = {{L" \t\u3000+0007\u3000\t ", 7},
                                                               {L"-12", -12},
                                                               {L".5", 0},
                                                               {L"2.5", 2},
                                                               {L"2.51", 3},
                                                               {L"2147483647", INT32_MAX},
                                                               {L"-2147483648.5", INT32_MIN}};
    for (const auto& [text, value] : numbers) {
        const FieldNumber got = ParseFieldText(text);
        EXPECT_EQ(got.status, FieldStatus::kOk) << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(got.value, value) << testing::PrintToString(std::wstring(text));
    }
    // 18446744073709551621 would be 5 once wrapped in 64 bits.
    for (const wchar_t* text : {L"2147483647.5", L"-2147483649", L"18446744073709551621"}) {
        EXPECT_EQ(ParseFieldText(text).status, FieldStatus::kOverflow) << text[0];
    }
    for (const wchar_t* text : {L"", L" \u3000", L"-", L".", L"+-1", L"1 2", L"12:00", L"1/2",
                                L"0x1F", L"1e5", L"1.2.3", L"1.5a", L"五", L"１"}) {
        EXPECT_EQ(ParseFieldText(text).status, FieldStatus::kNotANumber)
            << testing::PrintToString(std::wstring(text));
    }
}

TEST(RemainingSecondsTest, WorkedExamples) {
    const DateTime kMay{2014, 5, 23, 13, 58, 43}, kBottom{1905, 2, 6, 20, 45, 52};
    const struct {
        DateTime now;
        TargetTexts target;
        std::optional<std::int32_t> remaining;  // nothing: invalid
    } cases[] = {
        {kMay, {L"2014", L"05", L"23", L"22", L"00", L"00"}, 28877},
        // The scale counts a 31 April and a 30 February that the calendar does not have.
        {{2014, 4, 30, 23, 59, 0}, {L"2014", L"05", L"01", L"00", L"01", L"00"}, 86520},
        {{2014, 5, 23, 22, 0, 0},
         {L" 2014 ", L"+5", L"23.5", L"21.5", L"\u300075", L"-1.5"},
         90898},
        {kMay, {L"2038", L"09", L"24", L"03", L"14", L"07"}, 782140524},
        {kMay, {L"2038", L"09", L"24", L"03", L"14", L"08"}, std::nullopt},
        {kMay, {L"2014", L"05", L"23", L"22", L"00", L"x"}, std::nullopt},
        // A year before 1972 is due at once, the other fields unread, whatever the clock says.
        {{2050, 1, 1, 0, 0, 0}, {L"1971.4", L"", L"x", L"五", L"9999999999999", L"-"}, 0},
        // A year term, or a partial sum, that does not fit is not rescued by a later field.
        {kMay, {L"2039", L"-12", L"0", L"0", L"0", L"0"}, std::nullopt},
        {kMay, {L"-2147483648", L"0", L"0", L"0", L"0", L"0"}, 0},
        {kMay, {L"2014", L"0", L"0", L"0", L"0", L"2147483647"}, std::nullopt},
        // The clock at and past the ends of the scale, and the largest difference.
        {{2038, 9, 24, 3, 14, 7}, {L"2038", L"09", L"24", L"03", L"14", L"07"}, 0},
        {{2038, 9, 24, 3, 14, 8}, {L"2014", L"1", L"1", L"0", L"0", L"0"}, std::nullopt},
        {kBottom, {L"1972", L"0", L"0", L"0", L"0", L"-1"}, INT32_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RemainingSeconds(c.now, c.target), c.remaining)
            << testing::PrintToString(std::wstring(c.target[0])) << " "
            << testing::PrintToString(std::wstring(c.target[5]));
    }
}

}  // namespace
}  // namespace velmora
