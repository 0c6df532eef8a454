// LabelGN_Click's decisions: every view and run-state transition, one click a row.
#include <gtest/gtest.h>

#include <string>

#include "scheduler/command_labels.h"

namespace velmora {
namespace {

struct Size {
    float width, height;
    bool operator==(const Size& o) const { return width == o.width && height == o.height; }
};
// Label5 and Label9 give the three views; two sizes that are none of them.
constexpr Size kFull{5835, 3315}, kWide{5835, 555}, kCompact{2045, 555};
constexpr Size kOddStrip{3000, 555}, kOdd{3000, 1000};

TEST(LabelClickTest, EachClickLeadsToItsViewAndRunState) {
    const wchar_t* const kAny = L"暂停";
    const struct {
        Size before;
        std::int16_t index;
        const wchar_t* caption;  // of LabelGN(3)
        int interval;
        Size after;
        const wchar_t* runFlag;  // nullptr: unchanged; "2" started, "1" paused
        int intervalAfter;
    } rows[] = {
        {kFull, 1, kAny, 1000, kFull, nullptr, 1000},         // "★"
        {kWide, 1, kAny, 1000, kCompact, nullptr, 1000},      //
        {kCompact, 1, kAny, 1000, kWide, nullptr, 1000},      //
        {kOddStrip, 1, kAny, 1000, kCompact, nullptr, 1000},  //
        {kOdd, 1, kAny, 1000, kOdd, nullptr, 1000},           //
        {kFull, 2, kAny, 1000, kWide, nullptr, 1000},         // "设置"
        {kWide, 2, kAny, 1000, kFull, nullptr, 1000},         //
        {kCompact, 2, kAny, 1000, kFull, nullptr, 1000},      //
        {kOdd, 2, kAny, 1000, kWide, nullptr, 1000},          //
        {kFull, 0, kAny, 1000, kFull, nullptr, 1000},         // "▲"
        {kWide, 0, kAny, 1000, kCompact, nullptr, 1000},      //
        {kCompact, 0, kAny, 1000, kCompact, nullptr, 1000},   //
        {kOdd, 0, kAny, 1000, kOdd, nullptr, 1000},           //
        {kFull, 3, L"启动", 1000, kCompact, L"2", 1000},      // start
        {kWide, 3, L"启动", 0, kCompact, L"2", 1000},         // revives a stopped timer
        {kCompact, 3, L"启动", 1000, kCompact, L"2", 1000},   //
        {kCompact, 3, L"暂停", 1000, kFull, L"1", 1000},      // pause
        {kWide, 3, L"暂停", 0, kFull, L"1", 0},               // after firing: stays stopped
        {kFull, 3, L"启动 ", 1000, kFull, L"1", 1000},        // not exactly "启动": pause
        {kFull, 3, L"", 1000, kFull, L"1", 1000},             //
        {kWide, 4, kAny, 1000, kWide, nullptr, 1000},         // "退出"
        {kWide, 5, kAny, 1000, kWide, nullptr, 1000},         // no such label
        {kWide, -1, kAny, 1000, kWide, nullptr, 1000},        //
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "index " << r.index << " from " << r.before.width
                                        << " x " << r.before.height);
        const LabelClickEffects e = DecideLabelClick(
            r.index, {r.before.width, r.before.height, kFull.width, kFull.height, kCompact.width,
                      kCompact.height, r.caption, L"0", r.interval});
        EXPECT_EQ(Size({e.width.value_or(r.before.width), e.height.value_or(r.before.height)}),
                  r.after);
        const std::wstring flag = r.runFlag ? r.runFlag : L"";
        EXPECT_EQ(e.labelAMCaption.value_or(L""), flag);
        EXPECT_EQ(e.labelGN3Caption.value_or(L""), flag.empty()   ? L""
                                                   : flag == L"2" ? L"暂停"
                                                                  : L"启动");
        EXPECT_EQ(e.timerInterval.value_or(r.interval), r.intervalAfter);
        EXPECT_EQ(e.minimizeAndRestore, flag == L"2");
        EXPECT_EQ(e.labelGN3First, flag == L"1");  // a pause changes the label before the flag
        EXPECT_EQ(e.label2Caption.value_or(L""), flag == L"1" ? L"00:00:00" : L"");
        EXPECT_EQ(e.label6Caption.value_or(L""), flag == L"1" ? L"Velmora自动关机" : L"");
        EXPECT_EQ(e.endProgram, r.index == 4);
    }
}

}  // namespace
}  // namespace velmora
