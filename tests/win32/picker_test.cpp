// The program picker's real open-file dialog, examined from a thread timer inside its own message
// loop: how it opens, and its keys during a tick's grace wait (choosing a file shows end to end).
#include <windows.h>
// commdlg.h and dlgs.h only after windows.h
#include <commdlg.h>
#include <dlgs.h>

#include <functional>
#include <string>

#include "actions/picker.h"
#include "tests/win32/tick_fixture.h"

namespace velmora {
namespace {

// Run at each tick of a thread timer inside the dialog's own loop while the dialog shows, until
// it returns true. A dialog still open at the deadline is cancelled, to end the test.
std::function<bool(HWND)> step;
DWORD deadline = 0;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    static bool busy = false;  // a step may run a message loop of its own
    const HWND dialog = FindWindowW(L"#32770", nullptr);  // the dialogs' class
    if (dialog != nullptr && GetTickCount() > deadline) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    } else if (dialog != nullptr && !busy && step) {
        busy = true;
        if (step(dialog)) {
            step = nullptr;
        }
        busy = false;
    }
}

using PickerTest = LoadedForm1;

// Escape is sent while DoEvents pumps, as a due tick's grace wait does: it must cancel the dialog
// as it does in the dialog's own loop.
TEST_F(PickerTest, OpensModalInTheProgramFolderWithOneFilterAndEscapeInAGraceWaitCancels) {
    // An ANSI dialog would turn the title and the filter's name into question marks here.
    ASSERT_NE(GetACP(), 936u) << "run under a code page that is not Chinese";
    const HWND owner = form->Me().Hwnd();
    form->Text5().SetText(L"C:\\earlier\\path.exe");
    bool closedInWait = false;
    int ticks = 0;  // the dialog's own loop keeps Timer1 ticking
    form->SetHandlerObserver(
        [&](const Form1::HandlerCall& call) { ticks += call.handler == "Timer1_Timer"; },
        Form1::ObserverMode::kBeforeHandler);
    step = [&](HWND dialog) {
        const HWND focus = GetFocus();
        if (ticks < 2 || focus == nullptr || GetAncestor(focus, GA_ROOT) != dialog) {
            return false;  // not ready for keys yet
        }
        wchar_t text[MAX_PATH] = {};
        GetWindowTextW(dialog, text, MAX_PATH);
        EXPECT_STREQ(text, L"请选择文件");
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the dialog is not modal to the window";
        SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(text));
        const std::wstring program = ProgramFilePath();
        EXPECT_EQ(_wcsicmp(text, program.substr(0, program.rfind(L'\\')).c_str()), 0) << text;
        const HWND types = GetDlgItem(dialog, cmb1);
        EXPECT_EQ(SendMessageW(types, CB_GETCOUNT, 0, 0), 1);
        SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, L"所有文件");
        const HWND readOnly = GetDlgItem(dialog, chx1);
        EXPECT_FALSE(readOnly != nullptr && IsWindowVisible(readOnly));

        PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 2000 && !closedInWait;
             Sleep(10)) {
            DoEvents();
            closedInWait = !IsWindowVisible(dialog);
        }
        if (!closedInWait) {
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return true;
    };
    deadline = GetTickCount() + 20000;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &OnTimer);
    SendMessageW(form->Command1().Hwnd(), BM_CLICK, 0, 0);  // returns once the dialog has ended
    KillTimer(nullptr, timer);
    ASSERT_FALSE(step) << "the dialog never got ready for keys";
    EXPECT_TRUE(closedInWait);
    EXPECT_EQ(form->Text5().Text(), L"");  // cancelled: the earlier path is gone
    EXPECT_TRUE(IsWindowEnabled(owner));
}

}  // namespace
}  // namespace velmora
