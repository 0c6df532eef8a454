// The window's plain values: the layout table and its lookups, preset texts, pixel sizes,
// dragging, the capture file name and the picker's request and result.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "actions/capture_name.h"
#include "actions/picker_request.h"
#include "app/drag.h"
#include "app/layout.h"
#include "app/start_up.h"
#include "ui/twips.h"

namespace velmora {
namespace {

std::wstring NameOf(int control) {
    if (control < 0)
        return L"-";
    const ControlSpec& c = Controls()[control];
    return c.name + (c.index == kNoIndex ? L"" : L"(" + std::to_wstring(c.index) + L")");
}

// Points in the window's twips and the control that takes the pointer there as Windows
// descends: the windowed control under the point first, then the frontmost label.
TEST(LayoutTest, EachPointReachesTheFrontmostControlThatTakesEvents) {
    const struct {
        TwipsPoint at;
        const wchar_t* expected;
    } cases[] = {
        {{2900, 300}, L"LabelGN(3)"}, {{2480, 300}, L"LabelGN(2)"},  // "设置" over "启动"
        {{2500, 2800}, L"Label12"},   {{300, 250}, L"Label5"},       // over Label2's text
        {{5850, 3330}, L"-"},         {{1440, 2420}, L"Label8(1)"},  // Frame1's inside
        {{300, 1620}, L"Frame1"},     {{2920, 1620}, L"Frame2"},     // Frame1 under Frame2
        {{1340, 1420}, L"Combo1(2)"}, {{3180, 1420}, L"Option1"},
        {{4080, 1120}, L"Label8(0)"}, {{3280, 2165}, L"Text5"},  // over Option3
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NameOf(PointerTarget(kForm, c.at)), c.expected) << c.at.x << "," << c.at.y;
    }
}

TEST(LayoutTest, TabOrderAndLookups) {
    std::wstring order;
    for (int control : TabOrder()) {
        order += NameOf(control) + L" ";
    }
    EXPECT_EQ(order,
              L"Picture1(2) Combo1(2) Picture1(3) Combo1(3) Picture1(1) Combo1(1) Picture1(4) "
              L"Combo1(4) Picture1(5) Combo1(5) Picture1(6) Combo1(6) Option5 Option4 Option2 "
              L"Option1 Command1 Option3 Text5 ");
    EXPECT_EQ(NameOf(FindControl(L"Shape4", 2)), L"Shape4(2)");
    EXPECT_EQ(FindControl(L"Shape4"), -1);  // only as a member of its array
    EXPECT_EQ(NameOf(ContainerOf(FindControl(L"Combo1", 4))), L"Picture1(4)");

    // No two controls of one layer of one container share a stacking place or leave a gap.
    std::map<std::pair<int, bool>, std::set<int>> stacks;
    for (size_t i = 0; i < Controls().size(); ++i) {
        const ControlKind kind = Controls()[i].kind;
        if (kind != ControlKind::kTimer) {
            auto& places = stacks[{ContainerOf(static_cast<int>(i)), IsWindowed(kind)}];
            EXPECT_TRUE(places.insert(Controls()[i].stack).second) << NameOf(i);
        }
    }
    for (const auto& [layer, places] : stacks) {
        EXPECT_EQ(*places.rbegin(), static_cast<int>(places.size()) - 1);
    }
}

TEST(LayoutTest, ListItemsAreTwoDigitTextsWithZeroLastOnRequest) {
    using Items = std::vector<std::wstring>;
    EXPECT_EQ(ListItems({8, 11, false}), (Items{L"08", L"09", L"10", L"11"}));
    EXPECT_EQ(ListItems({1, 2, true}), (Items{L"01", L"02", L"00"}));
}

TEST(StartUpTest, PresetTextsAndPixels) {
    EXPECT_EQ(PresetFieldTexts({7, 5, 7, 8, 9, 6}),  // the year not padded
              (std::array<std::wstring, 6>{L"7", L"05", L"07", L"08", L"09", L"06"}));
    // Every field at its full width, so that the names sort by time.
    EXPECT_EQ(CaptureFilePath({987, 5, 3, 2, 0, 5}), L"C:\\QORN\\09870503020005.BMP");
    // Twips / 15, ties to even, clamped.
    const double twips[] = {5835, 2045, 112.5, 127.5, -112.5, 1e300, -1e300, NAN};
    const int pixels[] = {389, 136, 8, 8, -8, INT_MAX, INT_MIN, 0};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(TwipsToPixels(twips[i]), pixels[i]) << twips[i];
    }
}

TEST(DragTest, ButtonsRoundingAndTheGrabbedPointFollowingThePointer) {
    EXPECT_EQ(ClassifyButtons(1), DragStep::kMove);  // the left button alone
    EXPECT_EQ(ClassifyButtons(0), DragStep::kRemember);
    for (std::int16_t state : {2, 3, 4, 5, -1}) {
        EXPECT_EQ(ClassifyButtons(state), DragStep::kNothing) << state;
    }
    // Whole twips, ties to even; a captured pointer far outside the grip clamps, not wraps.
    const float xs[] = {300.5f, 301.5f, -0.5f, 449.6f, 40000.f, -40000.f, NAN};
    const int rounded[] = {300, 302, 0, 450, 32767, -32768, 0};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(RememberGripPoint(xs[i], 0).x, rounded[i]) << xs[i];
        EXPECT_EQ(RememberGripPoint(0, xs[i]).y, rounded[i]) << xs[i];
    }
    const GripPoint grabbed = RememberGripPoint(300, 450);
    const WindowPosition moved = DraggedPosition({1500, 900}, grabbed, 330, 435);
    EXPECT_EQ(moved.left, 1530);
    EXPECT_EQ(moved.top, 885);
    // 2^24 + 1 has no float: each step rounds to single precision, as the framework does;
    // x87 extended precision would give 2^24 + 2.
    EXPECT_EQ(DraggedPosition({16777216.f, 0}, GripPoint{-1, 0}, 1, 0).left, 16777216.f);
}

TEST(PickerTest, RequestAndResult) {
    const PickerRequest request = BuildPickerRequest(L"D:\\a\\b\\c.exe");
    EXPECT_EQ(request.initialDir, L"D:\\a\\b");
    EXPECT_EQ(request.filter, std::wstring(L"所有文件\0*.*\0\0", 10));
    EXPECT_EQ(request.title, L"请选择文件");
    // A NUL first: the 253 blanks after it are room, not a proposed name.
    EXPECT_EQ(request.fileBuffer, L'\0' + std::wstring(253, L' '));
    EXPECT_EQ(request.fileTitleBuffer, std::wstring(254, L' '));
    EXPECT_EQ(BuildPickerRequest(L"C:\\velmora.exe").initialDir, L"C:\\");
    EXPECT_EQ(BuildPickerRequest(L"velmora.exe").initialDir, L"");

    const std::wstring path = L"C:\\Program Files\\app.exe";
    const std::wstring buffer = path + L'\0' + std::wstring(200, L' ');
    EXPECT_EQ(PickerResultText(true, buffer), path);
    EXPECT_EQ(PickerResultText(false, buffer), L"");  // cancelled, or failed with a full buffer
}

}  // namespace
}  // namespace velmora
