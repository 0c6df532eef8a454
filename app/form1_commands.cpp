// The command labels LabelGN(0..4) (views, start, pause, exit), the clicks of Option1 and
// Option2, and the command line's preset, which ends in a click on 启动.
#include <windows.h>

#include "app/form1.h"
#include "scheduler/command_labels.h"

namespace velmora {

void Form1::LabelGN_Click(std::int16_t index) {
    // The marker sizes are read afresh at every click: the views are told apart only by the
    // window's size being exactly one of theirs.
    LabelClickInput input;
    input.width = Me().Width();
    input.height = Me().Height();
    input.label5Width = Label5().Width();
    input.label5Height = Label5().Height();
    input.label9Width = Label9().Width();
    input.label9Height = Label9().Height();
    input.labelGN3Caption = LabelGN(3).Caption();
    input.labelAMCaption = LabelAM().Caption();
    input.timerInterval = Timer1().Interval();
    if (gracefulIssuedMs_) {
        input.msSinceGracefulCommand =
            static_cast<std::int64_t>(GetTickCount64()) - *gracefulIssuedMs_;
    }
    const LabelClickEffects effects = DecideLabelClick(index, input);

    if (effects.endProgram) {
        // At once, asking nothing: a shutdown command already issued stays in force.
        Me().EndProgram();
        return;
    }
    if (effects.abortCommandLine) {
        // Once: what a pause stops cannot be stopped again.
        runner_.Start(CommandInterpreter(*effects.abortCommandLine));  // in the system folder
        gracefulIssuedMs_.reset();
    }
    const auto setLabelGN3 = [&] {
        if (effects.labelGN3Caption) {
            LabelGN(3).SetCaption(*effects.labelGN3Caption);
        }
    };
    if (effects.labelGN3First) {
        setLabelGN3();
    }
    if (effects.labelAMCaption) {
        LabelAM().SetCaption(*effects.labelAMCaption);
        if (*effects.labelAMCaption == kRunFlagRunning) {
            // The start takes the target as it stands, also an edit not yet finished.
            targetEdits_.Take(LiveTarget());
        }
    }
    if (!effects.labelGN3First) {
        setLabelGN3();
    }
    if (effects.label2Caption) {
        Label2().SetCaption(*effects.label2Caption);
    }
    if (effects.label6Caption) {
        Label6().SetCaption(*effects.label6Caption);
    }
    if (effects.timerInterval) {
        Timer1().SetInterval(*effects.timerInterval);
    }
    if (effects.width) {
        Me().SetWidth(*effects.width);
    }
    if (effects.height) {
        Me().SetHeight(*effects.height);
    }
    if (effects.minimizeAndRestore) {
        // The window drops out of sight and comes back as the compact strip; the size is given
        // again because restoring brings back the size the window had when it was minimised.
        Me().SetState(WindowState::kMinimised);
        Me().SetState(WindowState::kNormal);
        if (effects.width) {
            Me().SetWidth(*effects.width);
        }
        if (effects.height) {
            Me().SetHeight(*effects.height);
        }
    }
    KeepAwakeWhileArmed();
}

// Option1 and Option2 have click handlers that do nothing: the selection is all a click on an
// option changes, the option buttons make it themselves, and the tick reads it when it fires.
// They are kept so that every event the window raises has the handler it is bound to.
void Form1::Option1_Click() {}

void Form1::Option2_Click() {}

void Form1::ApplyPreset(const Preset& preset) {
    if (preset.target) {
        SetTargetFields(*preset.target);
    }
    if (preset.option) {
        OptionOf(*preset.option).SetValue(true);
        if (*preset.option == ActionOption::kOption3) {
            Text5().SetText(preset.programText);
        }
    }
    if (preset.start) {
        Raise({"LabelGN_Click", 3, {}}, [this] { LabelGN_Click(3); });
    }
}

}  // namespace velmora
