// Tests of when an edit of the target takes effect while a countdown runs.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "scheduler/target_edits.h"

namespace velmora {
namespace {

// Started at 13:50:00 for 14:45:00 the same day; the path is empty.
const TargetEntry kStarted = {L"2026", L"05", L"07", L"14", L"45", L"00", L""};

class TargetEditsTest : public ::testing::Test {
  protected:
    void SetUp() override { edits.Take(live); }
    // The user changes a part's text.
    void Type(int part, const std::wstring& text) {
        live[part] = text;
        edits.NoteEdit(part);
    }
    // The part in force after each of `ticks` ticks, `step` seconds apart.
    std::vector<std::wstring> Ticks(int part, int ticks = 3, int step = 1) {
        std::vector<std::wstring> inForce;
        for (int i = 0; i < ticks; ++i) {
            now.second += step;
            inForce.push_back(edits.InForce(live, now)[part]);
        }
        return inForce;
    }

    TargetEntry live = kStarted;
    DateTime now{2026, 5, 7, 13, 50, 0};
    TargetEdits edits;
};

using Strings = std::vector<std::wstring>;

TEST_F(TargetEditsTest, ATextLeftTwoSecondsTakesEffectOnlyWhenItsTargetIsLater) {
    const struct {
        int part;
        std::vector<std::pair<std::wstring, Strings>> steps;  // text, in force at 3 ticks
    } cases[] = {
        {0,
         {{L"2", {L"2026", L"2026", L"2026"}},  // year 2 is due at once
          {L"202", {L"2026", L"2026", L"2026"}},
          {L"2027", {L"2026", L"2026", L"2027"}}}},
        {1, {{L"2O", {L"05", L"05", L"2O"}}, {L"04", {L"2O", L"2O", L"2O"}}}},  // no time: latest
    };
    for (const auto& c : cases) {
        live = kStarted;
        SetUp();
        for (const auto& [text, inForce] : c.steps) {
            Type(c.part, text);
            EXPECT_EQ(Ticks(c.part), inForce) << testing::PrintToString(text);
        }
    }
}

// "5" typed into the minute on the way to "55" is not due, yet 40 minutes early.
TEST_F(TargetEditsTest, AnEarlierTargetLeftAloneWaitsForItsConfirmation) {
    Type(4, L"5");
    EXPECT_EQ(Ticks(4), (Strings{L"45", L"45", L"45"}));
    edits.NoteConfirmed(4, L"5");
    EXPECT_EQ(Ticks(4, 1), Strings{L"5"});
}

TEST_F(TargetEditsTest, AConfirmedTextTakesEffectAtOnceEvenWhenDue) {
    Type(0, L"1971");
    edits.NoteConfirmed(0, L"1971");
    EXPECT_EQ(Ticks(0, 1), Strings{L"1971"});

    Type(0, L"19");  // confirmed, then typed on before the tick: the new text is pending
    edits.NoteConfirmed(0, L"1");
    Type(0, L"197");
    EXPECT_EQ(Ticks(0), (Strings{L"1971", L"1971", L"1971"}));
    Type(0, L"1");  // the confirmation of "1" was for its own tick only
    EXPECT_EQ(Ticks(0), (Strings{L"1971", L"1971", L"1971"}));
    edits.NoteConfirmed(0, L"1");
    EXPECT_EQ(Ticks(0, 1), Strings{L"1"});
    live[0] = L"2026";  // the program's own text, once the edit took effect
    EXPECT_EQ(Ticks(0, 1), Strings{L"2026"});
}

TEST_F(TargetEditsTest, APathForADueTargetWaitsForItsConfirmation) {
    live[3] = L"08";  // set by the program, not typed: in force at the next tick
    live[4] = L"00";  // 08:00 is due
    Type(kProgramPathPart, L"C:\\p");
    EXPECT_EQ(Ticks(kProgramPathPart), (Strings{L"", L"", L""}));
    Type(kProgramPathPart, L"C:\\prog.exe");
    edits.NoteConfirmed(kProgramPathPart, L"C:\\prog.exe");
    EXPECT_EQ(Ticks(kProgramPathPart, 1), Strings{L"C:\\prog.exe"});
}

TEST_F(TargetEditsTest, TicksWithinOneSecondDoNotAddUp) {
    Type(0, L"2027");
    EXPECT_EQ(Ticks(0, 3, 0), (Strings{L"2026", L"2026", L"2026"}));
    EXPECT_EQ(Ticks(0, 2), (Strings{L"2026", L"2027"}));
    live[0] = L"2028";  // the program's own text, once the edit took effect
    EXPECT_EQ(Ticks(0, 1), Strings{L"2028"});
}

TEST_F(TargetEditsTest, TheStartTakesTheTextsAsTheyStandAndForgetsTheEditsUnderWay) {
    Type(3, L"1");  // due, and not confirmed
    Type(0, L"2");
    edits.Take(live);
    live[0] = L"2027";  // the program's own text: the edit of "2" is forgotten
    EXPECT_EQ(Ticks(0, 1), Strings{L"2027"});
    EXPECT_EQ(edits.InForce(live, now)[3], L"1");
}

}  // namespace
}  // namespace velmora
