// Tests of the window's plain values: preset texts, pixel sizes, dragging, the
// capture file name and the picker's folder and result.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "actions/capture_name.h"
#include "actions/picker_request.h"
#include "app/drag.h"
#include "app/start_up.h"
#include "ui/twips.h"

namespace velmora {
namespace {

using Texts = std::array<std::wstring, 6>;

TEST(PresetFieldTextsTest, YearPlainOtherFieldsTwoDigits) {
    EXPECT_EQ(PresetFieldTexts({2026, 5, 7, 8, 9, 6}),
              (Texts{L"2026", L"05", L"07", L"08", L"09", L"06"}));
    EXPECT_EQ(PresetFieldTexts({2026, 12, 31, 23, 59, 59}),
              (Texts{L"2026", L"12", L"31", L"23", L"59", L"59"}));
    EXPECT_EQ(PresetFieldTexts({999, 1, 1, 0, 0, 0})[0], L"999");
}

TEST(TwipsToPixelsTest, DividesByFifteenRoundingTiesToEven) {
    EXPECT_EQ(TwipsToPixels(5835), 389);
    EXPECT_EQ(TwipsToPixels(2045), 136);  // 136.33
    EXPECT_EQ(TwipsToPixels(112.5), 8);   // 7.5 px
    EXPECT_EQ(TwipsToPixels(127.5), 8);   // 8.5 px
    EXPECT_EQ(TwipsToPixels(-112.5), -8);
    EXPECT_EQ(TwipsToPixels(1e300), INT_MAX);
}

TEST(DragTest, OnlyTheLeftButtonAloneMovesAndNoButtonRemembers) {
    EXPECT_EQ(ClassifyButtons(1), DragStep::kMove);
    EXPECT_EQ(ClassifyButtons(0), DragStep::kRemember);
    for (std::int16_t state : {2, 3, 4, 5, 7, -1}) {
        EXPECT_EQ(ClassifyButtons(state), DragStep::kNothing) << state;
    }
}

TEST(DragTest, RemembersWholeTwipsTiesToEvenWithinSixteenBits) {
    const GripPoint point = RememberGripPoint(300.5f, 301.5f);
    EXPECT_EQ(point.x, 300);
    EXPECT_EQ(point.y, 302);
    EXPECT_EQ(RememberGripPoint(-0.5f, 449.6f).x, 0);
    EXPECT_EQ(RememberGripPoint(-0.5f, 449.6f).y, 450);
    // A captured pointer far outside the grip clamps instead of wrapping.
    EXPECT_EQ(RememberGripPoint(40000.f, -40000.f).x, 32767);
    EXPECT_EQ(RememberGripPoint(40000.f, -40000.f).y, -32768);
}

TEST(DragTest, TheGrabbedPointFollowsThePointer) {
    const GripPoint grabbed = RememberGripPoint(300, 450);
    const WindowPosition moved = DraggedPosition({1500, 900}, grabbed, 330, 450);
    EXPECT_EQ(moved.left, 1530);  // 30 twips, two pixels, to the right
    EXPECT_EQ(moved.top, 900);
    // The grip moved with the window: the pointer is again over the grabbed point.
    const WindowPosition still = DraggedPosition(moved, grabbed, 300, 450);
    EXPECT_EQ(still.left, 1530);
    EXPECT_EQ(still.top, 900);
    // Never remembered: offsets from (0, 0).
    EXPECT_EQ(DraggedPosition({0, 0}, GripPoint{}, -15, 45).left, -15);
}

TEST(DragTest, EachStepIsRoundedToSinglePrecision) {
    // 2^24 + 1 has no float; rounding after the subtraction gives 2^24, and + 1 again
    // rounds to 2^24. Without the middle rounding (x87 extended precision) it is 2^24 + 2.
    EXPECT_EQ(DraggedPosition({16777216.f, 0}, GripPoint{-1, 0}, 1, 0).left, 16777216.f);
}

TEST(CaptureFilePathTest, FourteenDigitsOfTheCaptureTime) {
    EXPECT_EQ(CaptureFilePath({2014, 5, 23, 22, 0, 5}), L"C:\\QORN\\20140523220005.BMP");
    EXPECT_EQ(CaptureFilePath({2026, 12, 31, 23, 59, 59}), L"C:\\QORN\\20261231235959.BMP");
}

TEST(PickerRequestTest, StartsInTheProgramsFolder) {
    EXPECT_EQ(BuildPickerRequest(L"C:\\velmora.exe").initialDir, L"C:\\");
    EXPECT_EQ(BuildPickerRequest(L"D:\\a\\b\\c.exe").initialDir, L"D:\\a\\b");
    EXPECT_EQ(BuildPickerRequest(L"\\\\server\\share\\v.exe").initialDir, L"\\\\server\\share");
    EXPECT_EQ(BuildPickerRequest(L"velmora.exe").initialDir, L"");
}

TEST(PickerResultTextTest, KeepsThePathUpToTheNulOrEmptiesOnCancel) {
    std::wstring buffer(254, L' ');
    const std::wstring path = L"C:\\Program Files\\app.exe";
    buffer.replace(0, path.size() + 1, path + L'\0');
    EXPECT_EQ(PickerResultText(true, buffer), path);
    EXPECT_EQ(PickerResultText(false, buffer), L"");
    EXPECT_EQ(PickerResultText(true, L"C:\\a.exe"), L"C:\\a.exe");  // no NUL at all
}

}  // namespace
}  // namespace velmora
