// Form1, the program's one window: every control of the layout table by its name, and the
// event handlers that the layout binds. Handlers live in their own files:
//   form1.cpp           creation and Form_Load
//   form1_tick.cpp      Timer1_Timer
//   form1_commands.cpp  LabelGN_Click, Option1_Click, Option2_Click, the command line's preset
//   form1_picker.cpp    Command1_Click
//   form1_edits.cpp     the edits of the target: Combo1_* and Text5_*
//   form1_grips.cpp     Label5_MouseMove, Frame1_MouseMove, Frame2_MouseMove, Label12_Click
// Only these events reach handlers; every other event of every control is left to the control.
// The edit events of the target fields and of Text5 only tell TargetEdits when an edit is
// finished: while counting down, a text being typed must not fire half-typed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/drag.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/file_check.h"
#include "platform/form.h"
#include "platform/gdi_cache.h"
#include "platform/power.h"
#include "platform/process.h"
#include "platform/timer.h"
#include "scheduler/command_line.h"
#include "scheduler/target_edits.h"
#include "scheduler/tick.h"

namespace velmora {

class Form1 {
  public:
    // Creates the window (hidden) and every control of the layout. The services stay the
    // caller's and must outlive the form.
    Form1(CommandRunner& runner, Clock& clock);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Raises the load event: once, after all controls exist and before any tick. Then shows
    // the window if the load left it hidden.
    void Load();
    // After the load: the command line's target, option and program text into their controls,
    // then, if asked, a click on 启动.
    void ApplyPreset(const Preset& preset);

    // The window itself (Width, Height, Left, Top, Move, State, BackColour, EndProgram...).
    Form& Me() { return form_; }

    // The controls, named as in the layout; array members by index.
    Frame& Frame1();
    Frame& Frame2();
    PictureBox& Picture1(int index);
    ComboBox& Combo1(int index);
    Label& LabelGN(int index);
    Label& LabelAM();
    Label& LabelS();
    Label& Label2();
    Label& Label4(int index);
    Label& Label5();
    Label& Label6();
    Label& Label8(int index);
    Label& Label9();
    Label& Label12();
    Shape& Shape1();
    Shape& Shape2();
    Shape& Shape3();
    Shape& Shape4(int index);
    Shape& Shape5(int index);
    Shape& Shape6();
    Shape& Shape7();
    OptionButton& Option1();
    OptionButton& Option2();
    OptionButton& Option3();
    OptionButton& Option4();
    OptionButton& Option5();
    OptionButton& OptionOf(ActionOption option);  // Option1 for kOption1 ...
    TextBox& Text5();
    CommandButton& Command1();
    Timer& Timer1() { return timer1_; }

    // The event handlers.
    void Form_Load();
    void Timer1_Timer();
    void LabelGN_Click(std::int16_t index);
    void Option1_Click();
    void Option2_Click();
    void Command1_Click();
    void Label12_Click();
    void Label5_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void Frame1_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void Frame2_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void Combo1_Change(std::int16_t index);
    void Combo1_Click(std::int16_t index);  // an item picked from the list
    void Combo1_LostFocus(std::int16_t index);
    void Combo1_EnterKey(std::int16_t index);
    void Text5_Change();
    void Text5_LostFocus();
    void Text5_EnterKey();

    // A test hook: sees every handler call that the window raises, with its arguments, and
    // either lets the handler run afterwards or replaces it.
    struct HandlerCall {
        std::string_view handler;
        std::int16_t index = 0;  // LabelGN_Click
        PointerEvent pointer;    // the MouseMove handlers
    };
    enum class ObserverMode { kBeforeHandler, kInsteadOfHandler };
    void SetHandlerObserver(std::function<void(const HandlerCall&)> observer, ObserverMode mode);

    // Tests only: the grace wait of a due tick before its capture (kGraceWaitMs in the
    // program), so that the tests of what happens during the wait need not sit through 5 s each.
    void SetGraceWaitForTesting(int milliseconds) { graceWaitMs_ = milliseconds; }
    // Tests only: how the 运行 action's files are checked (a slow share, say).
    void SetFileCheckForTesting(FileCheck::Check check) {
        files_ = std::make_unique<FileCheck>(std::move(check));
    }

  private:
    // What the layout table holds at one row, as made.
    struct Slot {
        std::unique_ptr<Panel> panel;
        std::unique_ptr<WindowedControl> windowed;
        std::unique_ptr<Windowless> windowless;
    };

    void CreateControls();
    void ArrangeStacking();
    void SetUpFocus();
    void BindEvents();
    Container& ContainerAt(int tableIndex);
    Slot& SlotOf(std::wstring_view name, int index);
    template <class T>
    T& Get(std::wstring_view name, int index);
    void Raise(const HandlerCall& call, const std::function<void()>& handler);
    // The six target fields to a date and time, as start-up presets them.
    void SetTargetFields(const DateTime& target);
    // The six target fields and Text5 as they stand.
    TargetEntry LiveTarget();
    // Whether the keyboard focus is (still) on one of the window's controls.
    bool FocusInWindow();
    // A due tick's dispatch (form1_tick.cpp): the options from kDispatchOrder[first] on, and
    // what a graceful action does once its wait is over.
    void Dispatch(std::size_t first, const std::wstring& programPath);
    void EndGraceWait();
    void ApplyDueAction(const DueAction& action);
    // Asks Windows to keep the system awake while the countdown is armed, and gives the request
    // back otherwise; called after everything that can arm or disarm it.
    void KeepAwakeWhileArmed();

    CommandRunner& runner_;
    Clock& clock_;
    // Answers the 运行 action's file questions off the window's thread.
    std::unique_ptr<FileCheck> files_ = std::make_unique<FileCheck>();
    const std::wstring wow64Folder_ = Wow64WindowsFolder();
    // Declared first so it goes last: the windows are destroyed before the fonts they use.
    GdiCache gdi_;
    Form form_;
    Timer timer1_;
    std::vector<Slot> slots_;  // by layout table index
    bool loaded_ = false;
    // Where the pointer last rested on each grip; each pair belongs to its grip's handler.
    GripPoint frame1Grip_;
    GripPoint frame2Grip_;
    GripPoint label5Grip_;
    std::function<void(const HandlerCall&)> observer_;
    ObserverMode observerMode_ = ObserverMode::kBeforeHandler;
    int graceWaitMs_ = kGraceWaitMs;
    // A graceful action's wait: its command stands, the capture comes when the delay is over,
    // and then the dispatch goes on with the options after it, as they are selected then.
    Delay grace_;
    DueAction graceAction_;
    std::size_t graceResumeAt_ = 0;
    std::wstring graceProgramPath_;
    // When (GetTickCount64) a graceful shutdown or restart was issued that a pause may still
    // abort; none once aborted.
    std::optional<std::int64_t> gracefulIssuedMs_;
    AwakeRequest awake_;
    // The target texts that a running countdown works on.
    TargetEdits targetEdits_;
};

}  // namespace velmora
