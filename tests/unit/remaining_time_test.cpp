// Tests of the field reading, the 31-day-month seconds scale and the remaining time.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "scheduler/remaining_time.h"

namespace velmora {
namespace {

FieldNumber Ok(std::int32_t value) {
    return {FieldStatus::kOk, value};
}
FieldNumber NotANumber() {
    return {FieldStatus::kNotANumber, 0};
}
FieldNumber Overflow() {
    return {FieldStatus::kOverflow, 0};
}

struct ParseCase {
    std::wstring text;
    FieldNumber expected;
};

void PrintTo(const ParseCase& parseCase, std::ostream* os) {
    *os << testing::PrintToString(parseCase.text);
}

class ParseFieldTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFieldTextTest, ReadsTheText) {
    const FieldNumber got = ParseFieldText(GetParam().text);
    EXPECT_EQ(got.status, GetParam().expected.status);
    if (got.status == FieldStatus::kOk) {
        EXPECT_EQ(got.value, GetParam().expected.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WholeNumbers, ParseFieldTextTest,
    ::testing::Values(ParseCase{L"2014", Ok(2014)}, ParseCase{L"05", Ok(5)},
                      ParseCase{L"00", Ok(0)}, ParseCase{L"0000000000000000000000000007", Ok(7)},
                      ParseCase{L"  23\t", Ok(23)}, ParseCase{L"\u300012\u3000", Ok(12)},
                      ParseCase{L"+8", Ok(8)}, ParseCase{L"-8", Ok(-8)}, ParseCase{L" -0 ", Ok(0)},
                      ParseCase{L"2147483647", Ok(2147483647)},
                      ParseCase{L"-2147483648", Ok(INT32_MIN)},
                      ParseCase{L"2147483648", Overflow()}, ParseCase{L"-2147483649", Overflow()},
                      ParseCase{L"99999999999999999999999999999999999999", Overflow()},
                      ParseCase{L"-00000000000000000000002147483648", Ok(INT32_MIN)}));

// Halves go to the even neighbour, on both sides of zero; anything past a half goes up.
INSTANTIATE_TEST_SUITE_P(
    Fractions, ParseFieldTextTest,
    ::testing::Values(
        ParseCase{L"2.5", Ok(2)}, ParseCase{L"3.5", Ok(4)}, ParseCase{L"-2.5", Ok(-2)},
        ParseCase{L"-3.5", Ok(-4)}, ParseCase{L"0.5", Ok(0)}, ParseCase{L".5", Ok(0)},
        ParseCase{L"1.5", Ok(2)}, ParseCase{L"2.500000", Ok(2)}, ParseCase{L"2.5000001", Ok(3)},
        ParseCase{L"2.4999999999", Ok(2)}, ParseCase{L"7.", Ok(7)}, ParseCase{L"59.6", Ok(60)},
        ParseCase{L"-0.4", Ok(0)}, ParseCase{L"2147483646.5", Ok(2147483646)},
        ParseCase{L"2147483647.5", Overflow()}, ParseCase{L"2147483647.4999", Ok(2147483647)},
        ParseCase{L"-2147483648.5", Ok(INT32_MIN)}, ParseCase{L"-2147483647.5", Ok(INT32_MIN)},
        ParseCase{L"-2147483648.51", Overflow()}));

INSTANTIATE_TEST_SUITE_P(
    NotNumbers, ParseFieldTextTest,
    ::testing::Values(ParseCase{L"", NotANumber()}, ParseCase{L"   ", NotANumber()},
                      ParseCase{L"+", NotANumber()}, ParseCase{L"-", NotANumber()},
                      ParseCase{L".", NotANumber()}, ParseCase{L"-.", NotANumber()},
                      ParseCase{L"1 2", NotANumber()}, ParseCase{L"+-1", NotANumber()},
                      ParseCase{L"- 1", NotANumber()}, ParseCase{L"1-", NotANumber()},
                      ParseCase{L"1.2.3", NotANumber()}, ParseCase{L"1e3", NotANumber()},
                      ParseCase{L"0x10", NotANumber()}, ParseCase{L"12a", NotANumber()},
                      ParseCase{L"五", NotANumber()}, ParseCase{L"１２", NotANumber()},
                      ParseCase{L"99999999999999999999x", NotANumber()},
                      ParseCase{std::wstring(L"1\0"
                                             L"2",
                                             3),
                                NotANumber()}));

TEST(PseudoTimestampTest, PlacesTheBaseAndTheLimitsOfTheScale) {
    EXPECT_EQ(PseudoTimestamp(1972, 1, 1, 0, 0, 0), 2764800);
    EXPECT_EQ(PseudoTimestamp(2038, 9, 24, 3, 14, 7), INT32_MAX);
    EXPECT_EQ(PseudoTimestamp(2038, 9, 24, 3, 14, 8), std::nullopt);
    EXPECT_EQ(PseudoTimestamp(1905, 2, 6, 20, 45, 52), INT32_MIN);
    EXPECT_EQ(PseudoTimestamp(1905, 2, 6, 20, 45, 51), std::nullopt);
    EXPECT_EQ(PseudoTimestamp(INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX),
              std::nullopt);
    // Exact: terms far out of range may still cancel to a valid total.
    EXPECT_EQ(PseudoTimestamp(2039, -12, 0, 0, 0, 0), 2121292800);
}

TEST(CheckedPseudoTimestampTest, FailsAtTheFirstStepThatLeavesThe32BitRange) {
    EXPECT_EQ(CheckedPseudoTimestamp({2038, 9, 24, 3, 14, 7}), INT32_MAX);
    EXPECT_EQ(CheckedPseudoTimestamp({2038, 9, 24, 3, 14, 8}), std::nullopt);
    // (2039 - 1972) * 32140800 does not fit, even though month -12 would bring it back.
    EXPECT_EQ(CheckedPseudoTimestamp({2039, -12, 0, 0, 0, 0}), std::nullopt);
    EXPECT_EQ(CheckedPseudoTimestamp({INT32_MIN, 0, 0, 0, 0, 0}), std::nullopt);  // subtraction
    EXPECT_EQ(CheckedPseudoTimestamp({1972, 0, 0, 0, 0, INT32_MAX}), INT32_MAX);
    EXPECT_EQ(CheckedPseudoTimestamp({1972, 0, 0, 0, 1, INT32_MAX}), std::nullopt);  // last add
    EXPECT_EQ(CheckedPseudoTimestamp({1972, 0, 0, 0, 0, INT32_MIN}), INT32_MIN);
    // A partial sum that overflows is not rescued by a later negative term.
    EXPECT_EQ(CheckedPseudoTimestamp({2038, 12, 0, 0, 0, -100000000}), std::nullopt);
    // Negative fields are weighted like any other.
    EXPECT_EQ(CheckedPseudoTimestamp({1972, 0, 0, 0, 75, -1}), 4499);
}

struct WorkedExample {
    DateTime now;
    TargetTexts target;
    std::int32_t presentStamp;
    std::int32_t targetStamp;
    std::int32_t remaining;
};

class WorkedExampleTest : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(WorkedExampleTest, GivesTheStampsAndTheRemainingSeconds) {
    const WorkedExample& example = GetParam();
    EXPECT_EQ(PseudoTimestamp(example.now), example.presentStamp);
    std::array<std::int32_t, 6> fields{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i] = ParseFieldText(example.target[i]).value;
    }
    EXPECT_EQ(CheckedPseudoTimestamp(fields), example.targetStamp);
    EXPECT_EQ(RemainingSeconds(example.now, example.target), example.remaining);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, WorkedExampleTest,
    ::testing::Values(
        WorkedExample{{2014, 5, 23, 13, 58, 43},
                      {L"2014", L"05", L"23", L"22", L"00", L"00"},
                      1365343123,
                      1365372000,
                      28877},
        WorkedExample{{2014, 5, 23, 13, 58, 43},
                      {L"2014", L"06", L"02", L"08", L"00", L"00"},
                      1365343123,
                      1366185600,
                      842477},
        // Across the end of April the scale counts a 31st that April does not have.
        WorkedExample{{2014, 4, 30, 23, 59, 0},
                      {L"2014", L"05", L"01", L"00", L"01", L"00"},
                      1363305540,
                      1363392060,
                      86520},
        WorkedExample{{2014, 4, 30, 23, 59, 59},
                      {L"2014", L"05", L"01", L"00", L"01", L"00"},
                      1363305599,
                      1363392060,
                      86461},
        WorkedExample{{2014, 5, 1, 0, 0, 0},
                      {L"2014", L"05", L"01", L"00", L"01", L"00"},
                      1363392000,
                      1363392060,
                      60},
        // 30 February exists on the scale and is due on 1 March.
        WorkedExample{{2014, 2, 28, 23, 59, 59},
                      {L"2014", L"02", L"30", L"10", L"00", L"00"},
                      1357775999,
                      1357898400,
                      122401},
        WorkedExample{{2014, 3, 1, 0, 0, 0},
                      {L"2014", L"02", L"30", L"10", L"00", L"00"},
                      1358035200,
                      1357898400,
                      0},
        WorkedExample{{2014, 12, 31, 23, 59, 59},
                      {L"2015", L"01", L"01", L"00", L"00", L"00"},
                      1384819199,
                      1384819200,
                      1},
        WorkedExample{{2014, 5, 23, 13, 58, 43},
                      {L"2038", L"09", L"24", L"03", L"14", L"07"},
                      1365343123,
                      INT32_MAX,
                      782140524},
        // Equal is due, one second ahead is 1, the past is 0.
        WorkedExample{{2014, 5, 23, 22, 0, 0},
                      {L"2014", L"05", L"23", L"22", L"00", L"00"},
                      1365372000,
                      1365372000,
                      0},
        WorkedExample{{2014, 5, 23, 21, 59, 59},
                      {L"2014", L"05", L"23", L"22", L"00", L"00"},
                      1365371999,
                      1365372000,
                      1},
        WorkedExample{{2020, 1, 1, 0, 0, 0},
                      {L"2014", L"05", L"23", L"22", L"00", L"00"},
                      1545523200,
                      1365372000,
                      0},
        // Nothing is checked against the calendar: minute 75 is an hour and a quarter.
        WorkedExample{{2014, 5, 23, 22, 0, 0},
                      {L" 2014 ", L"5", L"23", L"22", L"75", L"-1"},
                      1365372000,
                      1365376499,
                      4499}));

const DateTime kMay2014{2014, 5, 23, 13, 58, 43};

TEST(RemainingSecondsTest, YearBefore1972IsDueWithoutReadingTheOtherFields) {
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"1971", L"", L"x", L"五", L"99999999999", L"-"}), 0);
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"-5", L"05", L"23", L"22", L"00", L"00"}), 0);
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"1971.5", L"", L"", L"", L"", L""}),
              std::nullopt);  // 1971.5 is 1972: not before it, so the rest is read
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"1970.5", L"", L"", L"", L"", L""}), 0);
    // Due at once even when the present time lies outside the scale.
    EXPECT_EQ(RemainingSeconds({2050, 1, 1, 0, 0, 0}, {L"1971", L"", L"", L"", L"", L""}), 0);
}

TEST(RemainingSecondsTest, AnyFieldThatIsNotANumberIsInvalid) {
    const TargetTexts good = {L"2014", L"05", L"23", L"22", L"00", L"00"};
    ASSERT_EQ(RemainingSeconds(kMay2014, good), 28877);
    for (std::size_t i = 0; i < good.size(); ++i) {
        for (const wchar_t* bad : {L"", L"ab", L"二十", L"1:00"}) {
            TargetTexts target = good;
            target[i] = bad;
            EXPECT_EQ(RemainingSeconds(kMay2014, target), std::nullopt)
                << "field " << i << " text " << testing::PrintToString(std::wstring(bad));
        }
    }
}

TEST(RemainingSecondsTest, EveryOverflowIsInvalid) {
    // The target one second past the end of the scale, and a year term that cannot fit.
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"2038", L"09", L"24", L"03", L"14", L"08"}),
              std::nullopt);
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"2039", L"01", L"01", L"00", L"00", L"00"}),
              std::nullopt);
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"2039", L"-12", L"0", L"0", L"0", L"0"}), std::nullopt);
    // A field beyond 32 bits.
    EXPECT_EQ(RemainingSeconds(kMay2014, {L"2014", L"05", L"23", L"22", L"00", L"2147483648"}),
              std::nullopt);
    // The present time past the end of the scale, even with a target in range.
    EXPECT_EQ(RemainingSeconds({2038, 9, 24, 3, 14, 8}, {L"2014", L"1", L"1", L"0", L"0", L"0"}),
              std::nullopt);
    EXPECT_EQ(RemainingSeconds({1905, 2, 6, 20, 45, 51}, {L"2014", L"1", L"1", L"0", L"0", L"0"}),
              std::nullopt);
    // The difference: a present time before 1972 with a target far ahead.
    EXPECT_EQ(
        RemainingSeconds({1905, 2, 6, 20, 45, 52}, {L"2038", L"09", L"24", L"03", L"14", L"07"}),
        std::nullopt);
}

TEST(RemainingSecondsTest, PresentTimeBefore1972IsOnTheScale) {
    // 1960 is negative on the scale, but fits: only the target's year is held against 1972.
    const DateTime now{1960, 1, 1, 0, 0, 0};
    EXPECT_EQ(RemainingSeconds(now, {L"1972", L"01", L"01", L"00", L"00", L"00"}),
              12 * kSecondsPerPseudoYear);
    // From the bottom of the scale to pseudo-second -1 is the longest wait that fits.
    EXPECT_EQ(RemainingSeconds({1905, 2, 6, 20, 45, 52}, {L"1972", L"0", L"0", L"0", L"0", L"-1"}),
              INT32_MAX);
    EXPECT_EQ(RemainingSeconds({1905, 2, 6, 20, 45, 52}, {L"1972", L"0", L"0", L"0", L"0", L"0"}),
              std::nullopt);
}

}  // namespace
}  // namespace velmora
