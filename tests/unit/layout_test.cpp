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

// Each point, in the window's twips (or a frame's), and the control that takes the pointer
// there as Windows descends: the windowed control under the point first, then the frontmost
// label.
TEST(PointerRouting, EachPointReachesTheFrontmostControlThatTakesEvents) {
    const struct {
        const char* where;
        TwipsPoint at;
        int expected;
    } cases[] = {
        // The command labels and the link lie in front of Label5.
        {"启动", {2900, 300}, Id(L"LabelGN", 3)},
        {"★", {1800, 300}, Id(L"LabelGN", 1)},
        {"设置", {2200, 300}, Id(L"LabelGN", 2)},
        {"退出", {3200, 300}, Id(L"LabelGN", 4)},
        {"link", {2500, 2800}, Id(L"Label12")},
        // Between "设置" (ends at 2490) and "启动" (starts at 2475) the later one is behind.
        {"设置 over 启动", {2480, 300}, Id(L"LabelGN", 2)},
        // Label2, Label6, the top boxes and the large box outside the frames lie behind Label5.
        {"Label2's text", {300, 250}, Id(L"Label5")},
        {"Label6", {4000, 300}, Id(L"Label5")},
        {"Shape1's border", {140, 130}, Id(L"Label5")},
        {"large box", {150, 3000}, Id(L"Label5")},
        {"past Label5", {5850, 3330}, kForm},
        // Frame inner areas are covered by the caption-less Label8(1) and Label8(0).
        {"Frame1 inside", InFrame(L"Frame1", 1200, 1700), Id(L"Label8", 1)},
        {"Frame1 bottom", InFrame(L"Frame1", 500, 1930), Id(L"Label8", 1)},
        {"Frame2 inside", InFrame(L"Frame2", 1200, 400), Id(L"Label8", 0)},
        {"Frame2 band", InFrame(L"Frame2", 2500, 1300), Id(L"Label8", 0)},
        {"Frame1 left edge", InFrame(L"Frame1", 60, 900), Id(L"Frame1")},
        {"Frame1 top edge", InFrame(L"Frame1", 1000, 60), Id(L"Frame1")},
        {"Frame1 right edge", InFrame(L"Frame1", 2600, 900), Id(L"Frame1")},
        {"Frame1 under Frame2", InFrame(L"Frame1", 2680, 900), Id(L"Frame2")},
        {"Frame2 right edge", InFrame(L"Frame2", 2600, 900), Id(L"Frame2")},
        {"Frame2 bottom edge", InFrame(L"Frame2", 1000, 1980), Id(L"Frame2")},
        // Windowed controls come before labels; Text5 overlaps Option3 by 15 twips, in front.
        {"Combo1(2)", InFrame(L"Frame1", 1100, 700), Id(L"Combo1", 2)},
        {"Option1", InFrame(L"Frame2", 300, 700), Id(L"Option1")},
        {"Command1", InFrame(L"Frame2", 1900, 1500), Id(L"Command1")},
        {"Text5 over Option3", InFrame(L"Frame2", 400, 1445), Id(L"Text5")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointerTarget(kForm, c.at), c.expected) << c.where;
    }
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
