// The Win32 layer under the window: handle owners and their counts, the fonts as Wine resolves
// them, the general date-and-time text, starting real processes, and stacking child windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/layout.h"
#include "app/start_up.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/gdi_cache.h"
#include "platform/handles.h"
#include "platform/process.h"

namespace velmora {
namespace {

TEST(Handles, OwnersCountWhatTheyHoldAndMoveWithoutClosing) {
    const int before = BrushHandle::LiveCount();
    BrushHandle a(CreateSolidBrush(kPink));
    ASSERT_TRUE(a);
    EXPECT_EQ(BrushHandle::LiveCount(), before + 1);
    HBRUSH raw = a.Get();
    BrushHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), raw);
    EXPECT_EQ(BrushHandle::LiveCount(), before + 1);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectW(raw, sizeof lb, &lb), static_cast<int>(sizeof lb)) << "closed by a move";
    b = BrushHandle(CreateSolidBrush(kWhite));
    EXPECT_EQ(BrushHandle::LiveCount(), before + 1);
    EXPECT_EQ(GetObjectW(raw, sizeof lb, &lb), 0) << "the replaced brush was not deleted";
    b.Reset();
    EXPECT_EQ(BrushHandle::LiveCount(), before);

    // Different owners for DCs from GetDC and from CreateCompatibleDC.
    LiveHandles start = CountLiveHandles();
    {
        WindowDc screen(nullptr);
        MemoryDc memory(CreateCompatibleDC(screen.Get()));
        EXPECT_EQ(CountLiveHandles().windowDcs, start.windowDcs + 1);
        EXPECT_EQ(CountLiveHandles().memoryDcs, start.memoryDcs + 1);
    }
    EXPECT_EQ(CountLiveHandles(), start);
}

// The layout's rectangles assume a face in which a Chinese character is 12 pixels wide and a
// digit, blank or colon 6: Wine has to map the layout's font names onto a real Song (Ming)
// face, not fall back to whatever GB2312 face it finds first.
TEST(Fonts, LayoutFacesResolveToCjkFacesOfTheAssumedWidths) {
    GdiCache gdi;
    MemoryDc dc(CreateCompatibleDC(nullptr));
    auto extent = [&](FontId font, const std::wstring& text) {
        SelectGuard select(dc.Get(), gdi.Font(FontFor(font)));
        SIZE size{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    EXPECT_EQ(extent(FontId::kDefault, L"▲ 00:00:00 ▲"), 84);  // Label2's 1260 twips exactly
    EXPECT_EQ(extent(FontId::kDefault, L"设置任务执行时间"), 96);
    EXPECT_EQ(extent(FontId::kKaiTi9, L"浏览"), 24);

    // Every laid-out caption fits on the first line of its label, bold ones included.
    for (const ControlSpec& c : Controls()) {
        if (c.kind != ControlKind::kLabel || c.text[0] == L'\0' ||
            std::wstring_view(c.name) == L"Label12") {
            continue;  // the link's width depends on the web address (see its caption)
        }
        int width = TwipsToPixels(c.rect.left + c.rect.width) - TwipsToPixels(c.rect.left);
        EXPECT_LE(extent(c.font, c.text), width) << "caption too wide for its label";
    }

    // Every character of the captions has a glyph in the face chosen (no fallback boxes).
    const wchar_t text[] = L"设置启动退出关机重启截屏运行浏览网址※▲★";
    for (FontId font :
         {FontId::kDefault, FontId::kSongTiBold9, FontId::kSongTi10_5, FontId::kKaiTi9}) {
        SelectGuard select(dc.Get(), gdi.Font(FontFor(font)));
        WORD glyphs[32] = {};
        int count = static_cast<int>(wcslen(text));
        ASSERT_NE(GetGlyphIndicesW(dc.Get(), text, count, glyphs, GGI_MARK_NONEXISTING_GLYPHS),
                  GDI_ERROR);
        for (int i = 0; i < count; ++i) {
            EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for character " << i;
        }
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc.Get(), &metrics);
        EXPECT_EQ(metrics.tmCharSet, kGb2312Charset);
    }
}

TEST(Clock, GeneralTextLeavesTheTimeOutAtMidnight) {
    const std::wstring midnight = GeneralDateTimeText({2026, 5, 7, 0, 0, 0});
    EXPECT_EQ(midnight.find(L' '), std::wstring::npos) << "the date alone";
    EXPECT_NE(midnight.find(L"2026"), std::wstring::npos);
    EXPECT_NE(midnight.find(L'7'), std::wstring::npos);

    const std::wstring later = GeneralDateTimeText({2026, 5, 7, 0, 0, 1});
    ASSERT_GT(later.size(), midnight.size() + 1);
    EXPECT_EQ(later.substr(0, midnight.size() + 1), midnight + L" ");
    EXPECT_NE(later.find(L"01"), std::wstring::npos);

    // Whatever the user's format, the long time shows minutes and seconds.
    const std::wstring afternoon = GeneralDateTimeText({2026, 5, 7, 14, 35, 52});
    EXPECT_NE(afternoon.find(L"35"), std::wstring::npos);
    EXPECT_NE(afternoon.find(L"52"), std::wstring::npos);
}

TEST(ProcessRunner, StartsTheCommandLineWithoutWaitingAndClosesItsHandles) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring file = std::wstring(folder) + L"velmora_runner_test.txt";
    DeleteFileW(file.c_str());

    const LiveHandles before = CountLiveHandles();
    ProcessRunner runner;
    runner.Start({L"cmd.exe /c echo started> \"" + file + L"\"", SW_HIDE, {}, {}});
    EXPECT_TRUE(runner.LastStarted());
    EXPECT_EQ(CountLiveHandles(), before) << "process or thread handle left open";

    bool written = false;
    for (int i = 0; i < 200 && !written; ++i) {
        written = GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
        Sleep(50);
    }
    EXPECT_TRUE(written) << "the command did not run";
    DeleteFileW(file.c_str());

    runner.Start({L"no-such-program-velmora.exe", SW_HIDE, {}, {}});
    EXPECT_FALSE(runner.LastStarted());
    EXPECT_EQ(CountLiveHandles(), before);
}

std::vector<HWND> ChildrenFrontToBack(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

bool Grouped(const Panel& panel) {
    return (GetWindowLongPtrW(panel.Hwnd(), GWL_STYLE) & WS_GROUP) != 0;
}

// The stacking is left alone when it is right already, so both ways must come out the same.
TEST(Container, ArrangesWindowedChildrenFrontToBackAndGroupsFromTheFrontmost) {
    GdiCache gdi;
    Form form(gdi, FormOptions{L"stacking", 1500, 1500, kPink, 0});
    const TwipsRect rect{0, 0, 300, 300};
    Frame a(form, rect, kPink);
    Frame b(form, rect, kPink);
    Frame c(form, rect, kPink);

    form.ArrangeWindowedChildren({c.Hwnd(), a.Hwnd(), b.Hwnd()});
    EXPECT_EQ(ChildrenFrontToBack(form.Hwnd()), (std::vector<HWND>{c.Hwnd(), a.Hwnd(), b.Hwnd()}));
    EXPECT_TRUE(Grouped(c));
    EXPECT_FALSE(Grouped(a));
    EXPECT_FALSE(Grouped(b));

    // In order already: nothing moves, the group still starts at the frontmost.
    form.ArrangeWindowedChildren({c.Hwnd(), a.Hwnd(), b.Hwnd()});
    EXPECT_EQ(ChildrenFrontToBack(form.Hwnd()), (std::vector<HWND>{c.Hwnd(), a.Hwnd(), b.Hwnd()}));
    EXPECT_TRUE(Grouped(c));

    // In order among themselves but not rearmost: they go behind the other child.
    form.ArrangeWindowedChildren({c.Hwnd(), a.Hwnd()});
    EXPECT_EQ(ChildrenFrontToBack(form.Hwnd()), (std::vector<HWND>{b.Hwnd(), c.Hwnd(), a.Hwnd()}));
    EXPECT_TRUE(Grouped(c));
    EXPECT_FALSE(Grouped(a));
}

}  // namespace
}  // namespace velmora
