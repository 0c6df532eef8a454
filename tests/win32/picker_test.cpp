// The program picker with the real open-file dialog, driven from a thread timer inside the
// dialog's own message loop: how the dialog opens and what reaches Text5. (The refusal of a
// missing file is the dialog's own; the end-to-end tests show it.)
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/picker.h"
#include "app/form1.h"
#include "platform/message_loop.h"

namespace velmora {
namespace {

BOOL CALLBACK CollectShownDialog(HWND window, LPARAM list) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The dialog boxes (class #32770) of this thread that are shown, newest first.
std::vector<HWND> ShownDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &CollectShownDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// Steps run one per timer tick while a dialog is up; each step gets the newest dialog and
// returns false to be tried again on the next tick (the dialog is not ready yet).
class DialogScript {
  public:
    using Step = std::function<bool(HWND dialog)>;

    // Clicks Command1 and plays the steps in the dialog's loop; false if the steps did not
    // all run within the time.
    bool Play(Form1& form, std::vector<Step> steps) {
        steps_ = std::move(steps);
        next_ = 0;
        current_ = this;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, &DialogScript::OnTimer);
        deadline_ = GetTickCount() + 20000;
        // BM_CLICK returns once the handler, and so the modal dialog, has ended.
        SendMessageW(form.Command1().Hwnd(), BM_CLICK, 0, 0);
        KillTimer(nullptr, timer);
        current_ = nullptr;
        return next_ == steps_.size();
    }

  private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        DialogScript* self = current_;
        if (self == nullptr || self->busy_) {
            return;
        }
        std::vector<HWND> dialogs = ShownDialogs();
        if (GetTickCount() > self->deadline_) {
            // Something is stuck: close whatever is up so that the test ends.
            for (HWND dialog : dialogs) {
                PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
            return;
        }
        if (dialogs.empty() || self->next_ == self->steps_.size()) {
            return;
        }
        self->busy_ = true;  // a step may run a message loop of its own
        if (self->steps_[self->next_](dialogs.front())) {
            ++self->next_;
        }
        self->busy_ = false;
    }

    static inline DialogScript* current_ = nullptr;
    std::vector<Step> steps_;
    size_t next_ = 0;
    DWORD deadline_ = 0;
    bool busy_ = false;
};

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\'));
}

class PickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<Form1>(runner, clock);
        SetCursorPos(900, 700);
        form->Load();
        DoEvents();
    }
    void TearDown() override {
        form.reset();
        DoEvents();
    }
    // Types a name into the dialog's file name box and presses Open.
    static void Accept(HWND dialog, const std::wstring& name) {
        SendMessageW(dialog, CDM_SETCONTROLTEXT, GetDlgItem(dialog, edt1) ? edt1 : cmb13,
                     reinterpret_cast<LPARAM>(name.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }

    RecordingRunner runner;
    ManualClock clock{DateTime{2026, 5, 7, 8, 9, 6}};
    std::unique_ptr<Form1> form;
    DialogScript script;
};

TEST_F(PickerTest, OpensModalInTheProgramFolderWithOneFilterAndCancelEmptiesText5) {
    // An ANSI dialog would turn the title and the filter's name into question marks here.
    ASSERT_NE(GetACP(), 936u) << "run under a code page that is not Chinese";
    HWND owner = form->Me().Hwnd();
    form->Text5().SetText(L"C:\\earlier\\path.exe");
    std::wstring folder;
    bool ownerDisabled = false;
    std::vector<std::wstring> filters;
    bool readOnlyShown = true;

    bool played = script.Play(*form, {[&](HWND dialog) {
        EXPECT_EQ(TextOf(dialog), L"请选择文件");
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
        ownerDisabled = !IsWindowEnabled(owner);
        wchar_t path[MAX_PATH] = {};
        SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
        folder = path;
        HWND types = GetDlgItem(dialog, cmb1);
        for (LRESULT i = 0, n = SendMessageW(types, CB_GETCOUNT, 0, 0); i < n; ++i) {
            wchar_t item[64] = {};
            SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            filters.push_back(item);
        }
        HWND readOnly = GetDlgItem(dialog, chx1);
        readOnlyShown = readOnly != nullptr && IsWindowVisible(readOnly);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    }});

    ASSERT_TRUE(played);
    EXPECT_TRUE(ownerDisabled) << "the dialog is not modal to the window";
    EXPECT_EQ(_wcsicmp(folder.c_str(), FolderOf(ProgramFilePath()).c_str()), 0) << folder;
    EXPECT_EQ(filters, std::vector<std::wstring>{L"所有文件"});
    EXPECT_FALSE(readOnlyShown);
    // Cancelled: the earlier path is gone.
    EXPECT_EQ(form->Text5().Text(), L"");
    EXPECT_TRUE(IsWindowEnabled(owner));
}

// Enter at once on the dialog as it opens: the proposed name leaves the dialog as it was (here
// Wine's dialog once overran its own path buffer with a proposed name of 254 blanks, and the
// program died).
TEST_F(PickerTest, EnterOnTheProposedNameLeavesTheDialogOpen) {
    HWND opened = nullptr;
    bool stillOpen = false;
    bool played = script.Play(*form, {[&](HWND dialog) {
                                          opened = dialog;
                                          SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Enter
                                          return true;
                                      },
                                      [&](HWND dialog) {
                                          stillOpen = dialog == opened;
                                          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                                          return true;
                                      }});
    ASSERT_TRUE(played);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(form->Text5().Text(), L"");
}

// A due tick's grace wait lets messages through while the dialog is open; Escape must still
// cancel the dialog then, as it does in the dialog's own loop.
TEST_F(PickerTest, EscapeClosesTheDialogAlsoWhileATickLetsMessagesThrough) {
    bool closedInWait = false;
    bool played = script.Play(*form, {[&](HWND dialog) {
        HWND focus = GetFocus();
        if (focus == nullptr || GetAncestor(focus, GA_ROOT) != dialog) {
            return false;  // not ready for keys yet
        }
        PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        for (DWORD start = GetTickCount(); GetTickCount() - start < 2000 && !closedInWait;
             Sleep(10)) {
            DoEvents();  // as the grace wait does
            closedInWait = !IsWindowVisible(dialog);
        }
        return true;
    }});
    ASSERT_TRUE(played);
    EXPECT_TRUE(closedInWait);
    EXPECT_EQ(form->Text5().Text(), L"");
}

TEST_F(PickerTest, ChosenFileReachesText5AsItsFullPathAlsoWithChineseCharacters) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"工具" + std::to_wstring(GetCurrentProcessId());
    const std::wstring file = folder + L"\\程序 a.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);

    // The dialog's own message loop keeps Timer1 ticking: two ticks come before the choice.
    int ticks = 0;
    form->SetHandlerObserver(
        [&](const Form1::HandlerCall& call) { ticks += call.handler == "Timer1_Timer" ? 1 : 0; },
        Form1::ObserverMode::kBeforeHandler);
    bool played = script.Play(*form, {[&](HWND dialog) {
        if (ticks < 2) {
            return false;
        }
        Accept(dialog, file);
        return true;
    }});
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());

    ASSERT_TRUE(played);
    // The path and nothing after it: no NUL, no leftover blanks of the buffer.
    std::wstring text = form->Text5().Text();
    EXPECT_EQ(_wcsicmp(text.c_str(), file.c_str()), 0) << "Text5 holds " << text.size() << " chars";
    EXPECT_EQ(text.size(), file.size());
    EXPECT_EQ(text.substr(text.size() - 9), L"\\程序 a.exe");
}

}  // namespace
}  // namespace velmora
