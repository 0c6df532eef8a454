// Form1 in-process: the load, edits of the target typed into the real controls while counting,
// the keyboard's way through the controls and the clock's text.

#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

const DateTime kNineThirty{2026, 5, 7, 9, 30, 0};  // the clock starts at 08:09:06

class TargetEditsTest : public LoadedForm1 {
  protected:
    // The combo box's edit field, its one child (the list is a popup of its own).
    HWND Field(int index) { return GetWindow(form->Combo1(index).Hwnd(), GW_CHILD); }
    // Keys typed into `edit`, then `seconds` seconds with a tick each; `fresh` first selects
    // the whole text.
    void Type(HWND edit, const std::wstring& keys, int seconds, bool fresh = false) {
        SetFocus(edit);
        ASSERT_EQ(GetFocus(), edit);
        if (fresh) {
            SendMessageW(edit, EM_SETSEL, 0, -1);
        }
        for (wchar_t key : keys) {
            SendMessageW(edit, WM_CHAR, key, 1);
        }
        for (int i = 0; i < seconds; ++i) {
            ++clock.now.second;
            Tick();
        }
    }
};

// A year that makes the target due, and a path for a due target: only a confirmation fires them.
TEST_F(TargetEditsTest, TabAndEnterConfirmADueEditWhichFiresAtTheNextTick) {
    const struct {
        OptionButton& option;
        DateTime target;
        HWND edit;
        const wchar_t* keys;  // one at a time, 3 s apart
        WPARAM confirm;
        const wchar_t* command;
    } cases[] = {
        {form->Option4(), kNineThirty, Field(1), L"1971", VK_TAB,
         L"cmd.exe /d /c shutdown -s -t 0"},
        {form->Option3(), clock.now, form->Text5().Hwnd(), L"C:\\p", VK_RETURN,
         L"cmd.exe /d /c start \"\" \"C:\\p\""},
    };
    CloseHandle(CreateFileW(L"C:\\p", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (const auto& c : cases) {
        c.option.SetValue(true);
        SetTarget(c.target);
        form->LabelGN_Click(3);  // 运行 with no path is asked again at each tick
        for (const wchar_t* key = c.keys; *key; ++key) {
            Type(c.edit, std::wstring(1, *key), 3, key == c.keys);
        }
        EXPECT_EQ(Commands(), Lines{});
        PostMessageW(c.edit, WM_KEYDOWN, c.confirm, 1);  // the message loop sees it first
        DoEvents();
        Tick();
        EXPECT_EQ(Commands(), Lines{c.command});
        runner.calls.clear();
        form->LabelGN_Click(3);  // pause: the next start revives the stopped timer
    }
    DeleteFileW(L"C:\\p");
}

TEST(Form1Load, PresetsTheFieldsFromOneClockReadingAndFillsTheLists) {
    RecordingRunner runner;
    ScriptedClock clock;
    clock.now = {2025, 12, 31, 23, 59, 59};
    {
        Form1 form(runner, clock);
        form.Load();
        EXPECT_EQ(clock.readings, 1);
        const wchar_t* expected[] = {L"2025", L"12", L"31", L"23", L"59", L"59"};
        const int items[] = {0, 12, 31, 24, 60, 60};
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(form.Combo1(i).Text(), expected[i - 1]) << "Combo1(" << i << ")";
            EXPECT_EQ(form.Combo1(i).ListCount(), items[i - 1]) << "Combo1(" << i << ")";
        }
        EXPECT_EQ(form.Timer1().Interval(), 1000);
        EXPECT_EQ(form.Label6().Caption(), L"Velmora自动关机");
    }
    DoEvents();
}

TEST(Clock, GeneralTextLeavesTheTimeOutAtMidnight) {
    const std::wstring midnight = GeneralDateTimeText({2026, 5, 7, 0, 0, 0});
    EXPECT_EQ(midnight.find(L' '), std::wstring::npos) << "the date alone";
    EXPECT_NE(midnight.find(L"2026"), std::wstring::npos);
    const std::wstring later = GeneralDateTimeText({2026, 5, 7, 14, 35, 52});
    EXPECT_EQ(later.substr(0, midnight.size() + 1), midnight + L" ");
    EXPECT_NE(later.find(L"52"), std::wstring::npos);
}

}  // namespace
}  // namespace velmora
