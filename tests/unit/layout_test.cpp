// The window's layout table and the lookups over it: which control a point reaches, the tab
// order, the stacking places and the two-digit list items.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/layout.h"

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
    EXPECT_EQ(FindControl(L"Combo1", 7), -1);
    EXPECT_EQ(NameOf(ContainerOf(FindControl(L"Combo1", 4))), L"Picture1(4)");
    EXPECT_EQ(ContainerOf(FindControl(L"Frame1")), kForm);

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
    EXPECT_EQ(ListItems({}), Items{});
    EXPECT_EQ(ListItems({8, 11, false}), (Items{L"08", L"09", L"10", L"11"}));
    EXPECT_EQ(ListItems({1, 2, true}), (Items{L"01", L"02", L"00"}));
}

}  // namespace
}  // namespace velmora
