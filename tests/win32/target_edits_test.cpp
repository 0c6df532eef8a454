// Edits of the target during a countdown, typed into the real controls with window messages:
// nothing fires on a half-typed text, a finished one takes over.
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

const TargetTexts kStarted = {L"2026", L"05", L"07", L"09", L"30", L"00"};

class TargetEditsTest : public LoadedForm1 {
  protected:
    // Started at 08:09:06 for 09:30:00 the same day.
    void Start(OptionButton& option, const DateTime& target = {2026, 5, 7, 9, 30, 0}) {
        option.SetValue(true);
        SetTarget(target);
        form->LabelGN_Click(3);
    }
    HWND Field(int index) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(form->Combo1(index).Hwnd(), &info);
        return info.hwndItem;
    }
    // Keys typed into `edit` as the user types them; `fresh` first selects the whole text.
    void Keys(HWND edit, const std::wstring& keys, bool fresh = false) {
        SetFocus(edit);
        ASSERT_EQ(GetFocus(), edit);
        if (fresh) {
            SendMessageW(edit, EM_SETSEL, 0, -1);
        }
        for (wchar_t key : keys) {
            SendMessageW(edit, WM_CHAR, key, 1);
        }
    }
    // A key that the message loop sees first (Tab, Enter).
    void Press(HWND window, WPARAM key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        DoEvents();
    }
    // `seconds` seconds pass, with a tick each.
    void Wait(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            ++clock.now.second;
            Tick();
        }
    }
    std::wstring CountdownTo(const TargetTexts& target) {
        return CountdownText(RemainingSeconds(clock.now, target).value_or(-1));
    }
};

TEST_F(TargetEditsTest, YearAndHourTypedThroughDueValuesFireNothingTheLastTakesOverAfter2s) {
    const struct {
        int field;
        const wchar_t* keys;  // one at a time, 3 s apart
        TargetTexts last;
    } cases[] = {
        {1, L"2027", {L"2027", L"05", L"07", L"09", L"30", L"00"}},  // 2, 20, 202 are due
        {4, L"08", {L"2026", L"05", L"07", L"08", L"30", L"00"}},    // 00:30 is past
    };
    for (const auto& c : cases) {
        Start(form->Option4());
        for (size_t i = 0; i + 1 < wcslen(c.keys); ++i) {
            Keys(Field(c.field), std::wstring(1, c.keys[i]), i == 0);
            Wait(3);
            EXPECT_EQ(form->Label2().Caption(), CountdownTo(kStarted)) << "counts on to the old";
        }
        Keys(Field(c.field), c.keys + wcslen(c.keys) - 1);
        Wait(2);
        EXPECT_EQ(form->Label2().Caption(), CountdownTo(kStarted)) << "seen by 2 ticks only";
        Wait(1);
        EXPECT_EQ(form->Label2().Caption(), CountdownTo(c.last)) << "stood 2 s since a tick saw it";
        EXPECT_EQ(Commands(), Lines{});
        form->LabelGN_Click(3);
    }
}

TEST_F(TargetEditsTest, APathTypedWhileRunIsDueStartsOnceWhenCompleteAndConfirmed) {
    Start(form->Option3(), clock.now);
    const HWND text5 = form->Text5().Hwnd();
    for (const wchar_t* keys : {L"C", L":", L"\\", L"p", L"rog.exe"}) {
        Keys(text5, keys);
        Wait(3);
    }
    EXPECT_EQ(Commands(), Lines{});
    Press(text5, VK_RETURN);
    Wait(3);
    EXPECT_EQ(Commands(), Lines{L"cmd.exe /c start \"\" \"C:\\prog.exe\""});
}

TEST_F(TargetEditsTest, AYear1971ConfirmedWithTabFiresAtOnce) {
    Start(form->Option4());
    Keys(Field(1), L"1971", true);
    Wait(3);
    EXPECT_EQ(Commands(), Lines{});
    Press(Field(1), VK_TAB);
    EXPECT_NE(GetFocus(), Field(1));
    Tick();
    EXPECT_EQ(Commands(), Lines{L"cmd.exe /c shutdown -s -t 0"});
}

}  // namespace
}  // namespace velmora
