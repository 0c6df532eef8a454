// The layout table and its pointer hit test: which control a point reaches, the tab order,
// the list items, and the table's own consistency (stacking places, nesting, outlines).
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "app/layout.h"

namespace velmora {
namespace {

int Id(const wchar_t* name, int index = kNoIndex) {
    int found = FindControl(name, index);
    EXPECT_GE(found, 0) << "no control in the table";
    return found;
}

// A point given in the window's twips, for a control that lies in a frame.
TwipsPoint InFrame(const wchar_t* frame, float x, float y) {
    const TwipsRect& r = Controls()[Id(frame)].rect;
    return {r.left + x, r.top + y};
}

int TargetOnForm(TwipsPoint p) {
    // Descend as Windows does: the windowed control under the point first.
    return PointerTarget(kForm, p);
}

TEST(PointerRouting, LabelsInFrontOfLabel5TakeTheirOwnEvents) {
    // The command labels and the link lie in front of Label5.
    EXPECT_EQ(TargetOnForm({2900, 300}), Id(L"LabelGN", 3));  // on "启动"
    EXPECT_EQ(TargetOnForm({1800, 300}), Id(L"LabelGN", 1));
    EXPECT_EQ(TargetOnForm({2200, 300}), Id(L"LabelGN", 2));
    EXPECT_EQ(TargetOnForm({3200, 300}), Id(L"LabelGN", 4));
    EXPECT_EQ(TargetOnForm({2500, 2800}), Id(L"Label12"));
}

TEST(PointerRouting, Label5TakesWhatLiesBehindIt) {
    // Label2, Label6, the top boxes and the large box outside the frames: all behind Label5.
    EXPECT_EQ(TargetOnForm({300, 250}), Id(L"Label5"));   // over Label2's text
    EXPECT_EQ(TargetOnForm({4000, 300}), Id(L"Label5"));  // over Label6
    EXPECT_EQ(TargetOnForm({140, 130}), Id(L"Label5"));   // Shape1's border
    EXPECT_EQ(TargetOnForm({150, 3000}), Id(L"Label5"));  // the large box below the frames
    // Between "设置" (ends at 2490) and "启动" (starts at 2475) the later one is behind.
    EXPECT_EQ(TargetOnForm({2480, 300}), Id(L"LabelGN", 2));
    // Past Label5's edge, inside the window's laid-out area: the window itself.
    EXPECT_EQ(TargetOnForm({5850, 3330}), kForm);
}

TEST(PointerRouting, FramesTakeOnlyTheirUncoveredEdges) {
    // Inner areas are covered by the caption-less Label8(1) and Label8(0).
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 1200, 1700)), Id(L"Label8", 1));
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 500, 1930)), Id(L"Label8", 1));  // to the bottom
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 1200, 400)), Id(L"Label8", 0));
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 2500, 1300)), Id(L"Label8", 0));  // over the band

    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 60, 900)), Id(L"Frame1"));     // left edge
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 1000, 60)), Id(L"Frame1"));    // top edge
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 2600, 900)), Id(L"Frame1"));   // right edge...
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 2680, 900)), Id(L"Frame2"));   // ...under Frame2
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 2600, 900)), Id(L"Frame2"));   // 150 at its right
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 1000, 1980)), Id(L"Frame2"));  // and its bottom
}

TEST(PointerRouting, WindowedControlsComeBeforeLabels) {
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame1", 1100, 700)), Id(L"Combo1", 2));
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 300, 700)), Id(L"Option1"));
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 1900, 1500)), Id(L"Command1"));
    // Option3 and Text5 overlap by 15 twips; Text5 lies in front.
    EXPECT_EQ(TargetOnForm(InFrame(L"Frame2", 400, 1445)), Id(L"Text5"));
}

TEST(PointerRouting, ShapesNeverTakeEvents) {
    std::vector<HitBox> boxes{{{0, 0, 100, 100}, false}, {{0, 0, 200, 200}, true}};
    EXPECT_EQ(FrontmostHit(boxes, {50, 50}), 1);
    EXPECT_EQ(FrontmostHit(boxes, {250, 50}), -1);
    // Rectangles that touch edge to edge never both hold the point on the edge.
    std::vector<HitBox> touching{{{0, 0, 100, 10}, true}, {{100, 0, 100, 10}, true}};
    EXPECT_EQ(FrontmostHit(touching, {100, 5}), 1);
    EXPECT_EQ(FrontmostHit(touching, {99.9f, 5}), 0);
}

TEST(LayoutTable, TabOrderRunsThroughTheFieldsThenTheActionPanel) {
    std::vector<std::pair<std::wstring, int>> expected{
        {L"Picture1", 2}, {L"Combo1", 2},    {L"Picture1", 3}, {L"Combo1", 3},   {L"Picture1", 1},
        {L"Combo1", 1},   {L"Picture1", 4},  {L"Combo1", 4},   {L"Picture1", 5}, {L"Combo1", 5},
        {L"Picture1", 6}, {L"Combo1", 6},    {L"Option5", -1}, {L"Option4", -1}, {L"Option2", -1},
        {L"Option1", -1}, {L"Command1", -1}, {L"Option3", -1}, {L"Text5", -1}};
    std::vector<std::pair<std::wstring, int>> actual;
    for (int index : TabOrder()) {
        actual.push_back({Controls()[index].name, Controls()[index].index});
    }
    EXPECT_EQ(actual, expected);
}

TEST(LayoutTable, ComboListsHoldTwoDigitItemsWithZeroLast) {
    auto items = [](int combo) { return ListItems(Controls()[Id(L"Combo1", combo)].items); };
    EXPECT_TRUE(items(1).empty());
    EXPECT_EQ(items(2).size(), 12u);
    EXPECT_EQ(items(3).size(), 31u);
    auto hours = items(4);
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours.front(), L"01");
    EXPECT_EQ(hours[8], L"09");
    EXPECT_EQ(hours[22], L"23");
    EXPECT_EQ(hours.back(), L"00");
    for (int combo : {5, 6}) {
        auto list = items(combo);
        ASSERT_EQ(list.size(), 60u);
        EXPECT_EQ(list[58], L"59");
        EXPECT_EQ(list.back(), L"00");
    }
}

TEST(LayoutTable, IsConsistent) {
    const auto& controls = Controls();
    std::map<std::pair<int, bool>, std::set<int>> stacks;  // (container, windowed) -> places
    std::set<int> tabs;
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& c = controls[i];
        int container = ContainerOf(static_cast<int>(i));
        if (c.containerName != nullptr) {
            ASSERT_GE(container, 0) << "unknown container";
            EXPECT_LT(container, static_cast<int>(i)) << "container listed after its contents";
            EXPECT_TRUE(IsContainer(controls[container].kind));
        }
        if (c.kind == ControlKind::kTimer) {
            continue;
        }
        auto& places = stacks[std::make_pair(container, IsWindowed(c.kind))];
        EXPECT_TRUE(places.insert(c.stack).second) << "two controls share a stacking place";
        if (c.tab != kNoTab) {
            EXPECT_TRUE(tabs.insert(c.tab).second) << "two controls share a tab position";
        }
    }
    for (const auto& [key, places] : stacks) {
        EXPECT_EQ(*places.rbegin(), static_cast<int>(places.size()) - 1) << "gap in the stacking";
    }
    // Each Shape5 outline runs 45 twips left of and above its picture box, 75 right, 45 below.
    for (int i = 1; i <= 6; ++i) {
        const TwipsRect& shape = controls[Id(L"Shape5", i)].rect;
        const TwipsRect& picture = controls[Id(L"Picture1", i)].rect;
        EXPECT_EQ(shape.left, picture.left - 45) << i;
        EXPECT_EQ(shape.top, picture.top - 45) << i;
        EXPECT_EQ(shape.left + shape.width, picture.left + picture.width + 75) << i;
        EXPECT_EQ(shape.top + shape.height, picture.top + picture.height + 45) << i;
        // The combo box covers its picture box on every side.
        const TwipsRect& combo = controls[Id(L"Combo1", i)].rect;
        EXPECT_LT(combo.left, 0);
        EXPECT_GT(combo.left + combo.width, picture.width) << i;
        EXPECT_GT(combo.top + combo.height, picture.height) << i;
    }
    // The three top boxes touch edge to edge.
    const TwipsRect& s1 = controls[Id(L"Shape1")].rect;
    const TwipsRect& s6 = controls[Id(L"Shape6")].rect;
    const TwipsRect& s4 = controls[Id(L"Shape4", 2)].rect;
    EXPECT_EQ(s1.left + s1.width, s6.left);
    EXPECT_EQ(s6.left + s6.width, s4.left);
}

}  // namespace
}  // namespace velmora
