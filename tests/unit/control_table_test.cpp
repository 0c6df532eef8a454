// The control vocabulary on a small table of its own: which kinds take focus and in what order,
// and the two-digit list items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/control_table.h"

namespace velmora {
namespace {

ControlSpec Control(const wchar_t* name, ControlKind kind, int tab) {
    ControlSpec spec{};
    spec.name = name;
    spec.kind = kind;
    spec.tab = tab;
    return spec;
}

TEST(ControlTable, TabOrderHoldsOnlyTheKindsThatTakeFocusInTabPositionOrder) {
    using K = ControlKind;
    const ControlTable table{
        Control(L"Text", K::kTextBox, 6),        Control(L"Frame", K::kFrame, 0),
        Control(L"Label", K::kLabel, 1),         Control(L"Button", K::kCommandButton, 2),
        Control(L"Picture", K::kPictureBox, 5),  Control(L"Shape", K::kShape, kNoTab),
        Control(L"Option", K::kOptionButton, 4), Control(L"Timer", K::kTimer, kNoTab),
        Control(L"Combo", K::kComboBox, 3),
    };
    EXPECT_EQ(TabOrder(table), (std::vector<int>{3, 8, 6, 4, 0}));
}

TEST(ControlTable, ListItemsAreTwoDigitTextsWithZeroLastOnRequest) {
    using Items = std::vector<std::wstring>;
    EXPECT_EQ(ListItems({}), Items{});
    EXPECT_EQ(ListItems({8, 11, false}), (Items{L"08", L"09", L"10", L"11"}));
    EXPECT_EQ(ListItems({1, 2, true}), (Items{L"01", L"02", L"00"}));
}

}  // namespace
}  // namespace velmora
