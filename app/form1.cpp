// Form1 built from the layout table, its control accessors, the handler dispatch and Form_Load.
#include "app/form1.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/layout.h"
#include "app/start_up.h"
#include "platform/start_notes.h"
#include "scheduler/command_labels.h"
#include "scheduler/tick.h"
#include "ui/twips.h"

namespace velmora {

namespace {

FormOptions FormOptionsFromLayout() {
    const FormSpec& spec = FormLayout();
    FormOptions options;
    options.caption = spec.caption;
    options.width = spec.width;
    options.height = spec.height;
    options.backColour = spec.background;
    options.iconResourceId = 1;
    return options;
}

}  // namespace

Form1::Form1(CommandRunner& runner, Clock& clock)
    : runner_(runner),
      clock_(clock),
      form_(gdi_, FormOptionsFromLayout()),
      timer1_(form_),
      grace_(form_) {
    NoteStartStep("window");
    form_.SetAutoRedraw(FormLayout().autoRedraw);
    CreateControls();
    NoteStartStep("controls");
    ArrangeStacking();
    NoteStartStep("stacking");
    SetUpFocus();
    BindEvents();
    NoteStartStep("focus and events");
}

Form1::~Form1() = default;

Container& Form1::ContainerAt(int tableIndex) {
    if (tableIndex == kForm) {
        return form_;
    }
    Panel* panel = slots_.at(static_cast<size_t>(tableIndex)).panel.get();
    if (panel == nullptr) {
        throw std::logic_error("layout: container made after its contents");
    }
    return *panel;
}

void Form1::CreateControls() {
    const auto& controls = Controls();
    slots_.resize(controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const ControlSpec& spec = controls[i];
        Container& parent = ContainerAt(ContainerOf(static_cast<int>(i)));
        HFONT font = gdi_.Font(FontFor(spec.font));
        Slot& slot = slots_[i];
        switch (spec.kind) {
            case ControlKind::kFrame:
                slot.panel = std::make_unique<Frame>(parent, spec.rect, spec.backColour);
                break;
            case ControlKind::kPictureBox:
                slot.panel = std::make_unique<PictureBox>(parent, spec.rect, spec.backColour);
                break;
            case ControlKind::kComboBox:
                // The target fields start empty, not with the layout's texts: Form_Load presets
                // them before the window first paints, and a text set now would only cost each
                // field a second round of edit notifications and redraws that nobody sees.
                slot.windowed =
                    std::make_unique<ComboBox>(parent, spec.rect, L"", font, spec.foreColour,
                                               spec.backColour, ListItems(spec.items));
                break;
            case ControlKind::kOptionButton: {
                auto option = std::make_unique<OptionButton>(parent, spec.rect, spec.text, font,
                                                             spec.foreColour, spec.backColour);
                option->SetValue(spec.selected);
                slot.windowed = std::move(option);
                break;
            }
            case ControlKind::kTextBox:
                slot.windowed = std::make_unique<TextBox>(parent, spec.rect, spec.text, font,
                                                          spec.foreColour, spec.backColour);
                break;
            case ControlKind::kCommandButton:
                slot.windowed = std::make_unique<CommandButton>(parent, spec.rect, spec.text, font,
                                                                spec.foreColour, spec.backColour);
                break;
            case ControlKind::kLabel:
                slot.windowless = std::make_unique<Label>(
                    parent, spec.rect,
                    LabelStyle{font, spec.foreColour, spec.backColour, spec.opaque, spec.alignment},
                    spec.text);
                break;
            case ControlKind::kShape:
                slot.windowless = std::make_unique<Shape>(
                    parent, spec.rect,
                    ShapeStyle{spec.borderColour, spec.borderWidth, spec.backColour, spec.opaque});
                break;
            case ControlKind::kTimer:
                break;  // Timer1 is a member: it belongs to the window, not to a container
        }
    }
}

void Form1::ArrangeStacking() {
    // Every container: its windowed children into the layout's stacking order, and its labels
    // and shapes handed over front to back.
    std::vector<int> containers{kForm};
    const auto& controls = Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        if (IsContainer(controls[i].kind)) {
            containers.push_back(static_cast<int>(i));
        }
    }
    for (int container : containers) {
        Container& target = ContainerAt(container);
        std::vector<HWND> windowed;
        for (int child : ChildrenFrontToBack(container)) {
            Slot& slot = slots_[static_cast<size_t>(child)];
            if (slot.panel) {
                windowed.push_back(slot.panel->Hwnd());
            } else if (slot.windowed) {
                windowed.push_back(slot.windowed->Hwnd());
            } else if (slot.windowless) {
                target.AddWindowless(*slot.windowless);
            }
        }
        target.ArrangeWindowedChildren(windowed);
    }
}

void Form1::SetUpFocus() {
    FocusCycle& focus = form_.Focus();
    std::vector<HWND> options;
    for (int index : TabOrder()) {
        Slot& slot = slots_[static_cast<size_t>(index)];
        HWND window = slot.panel ? slot.panel->Hwnd() : slot.windowed->Hwnd();
        if (auto* option = dynamic_cast<OptionButton*>(slot.windowed.get())) {
            // The option group is one stop: the selected button.
            focus.AddStop(window, [option] { return option->Value(); });
            options.push_back(window);
        } else {
            focus.AddStop(window);
        }
    }
    focus.SetOptionGroup(options);
}

void Form1::BindEvents() {
    timer1_.onTimer = [this] { Raise({"Timer1_Timer", 0, {}}, [this] { Timer1_Timer(); }); };
    for (int i = 0; i <= 4; ++i) {
        auto index = static_cast<std::int16_t>(i);
        LabelGN(i).onClick = [this, index] {
            Raise({"LabelGN_Click", index, {}}, [this, index] { LabelGN_Click(index); });
        };
    }
    Option1().onClick = [this] { Raise({"Option1_Click", 0, {}}, [this] { Option1_Click(); }); };
    Option2().onClick = [this] { Raise({"Option2_Click", 0, {}}, [this] { Option2_Click(); }); };
    Command1().onClick = [this] { Raise({"Command1_Click", 0, {}}, [this] { Command1_Click(); }); };
    Label12().onClick = [this] { Raise({"Label12_Click", 0, {}}, [this] { Label12_Click(); }); };
    Label5().onMouseMove = [this](const PointerEvent& e) {
        Raise({"Label5_MouseMove", 0, e},
              [this, e] { Label5_MouseMove(e.button, e.shift, e.x, e.y); });
    };
    Frame1().onMouseMove = [this](const PointerEvent& e) {
        Raise({"Frame1_MouseMove", 0, e},
              [this, e] { Frame1_MouseMove(e.button, e.shift, e.x, e.y); });
    };
    Frame2().onMouseMove = [this](const PointerEvent& e) {
        Raise({"Frame2_MouseMove", 0, e},
              [this, e] { Frame2_MouseMove(e.button, e.shift, e.x, e.y); });
    };
    for (int i = 1; i <= 6; ++i) {
        auto index = static_cast<std::int16_t>(i);
        ComboBox& combo = Combo1(i);
        combo.onChange = [this, index] {
            Raise({"Combo1_Change", index, {}}, [this, index] { Combo1_Change(index); });
        };
        combo.onListPick = [this, index] {
            Raise({"Combo1_Click", index, {}}, [this, index] { Combo1_Click(index); });
        };
        combo.onLostFocus = [this, index] {
            Raise({"Combo1_LostFocus", index, {}}, [this, index] { Combo1_LostFocus(index); });
        };
        combo.onEnter = [this, index] {
            Raise({"Combo1_EnterKey", index, {}}, [this, index] { Combo1_EnterKey(index); });
        };
    }
    Text5().onChange = [this] { Raise({"Text5_Change", 0, {}}, [this] { Text5_Change(); }); };
    Text5().onLostFocus = [this] {
        Raise({"Text5_LostFocus", 0, {}}, [this] { Text5_LostFocus(); });
    };
    Text5().onEnter = [this] { Raise({"Text5_EnterKey", 0, {}}, [this] { Text5_EnterKey(); }); };
}

void Form1::SetHandlerObserver(std::function<void(const HandlerCall&)> observer,
                               ObserverMode mode) {
    observer_ = std::move(observer);
    observerMode_ = mode;
}

void Form1::Raise(const HandlerCall& call, const std::function<void()>& handler) {
    if (observer_) {
        observer_(call);
        if (observerMode_ == ObserverMode::kInsteadOfHandler) {
            return;
        }
    }
    handler();
}

void Form1::Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    Raise({"Form_Load", 0, {}}, [this] { Form_Load(); });
    // Only the styling SetWindowPos shows the window; should it fail, a window never shown
    // would leave the program running with no way to reach 退出.
    if (!IsWindowVisible(form_.Hwnd())) {
        form_.Show();
    }
}

// Start-up, in this order: the capture folder, the window's size and colour key, the title,
// topmost and shown at the screen's corner, the tick, and the target preset to now.
void Form1::Form_Load() {
    runner_.Start(CommandInterpreter(kMakeCaptureFolderCommand));
    NoteStartStep("capture folder command");
    Me().SetWidth(Label5().Width());
    Me().SetHeight(Label5().Height());
    Me().SetBackColour(kKeyColour);
    Label6().SetCaption(kProductTitle);
    NoteStartStep("size, colour, title");

    // These user32 calls are linked, not looked up by name at run time: every Windows version
    // the program runs on has them (SetLayeredWindowAttributes since Windows 2000).
    HWND hwnd = Me().Hwnd();
    LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    SetWindowLongA(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, kKeyColour, 1, LWA_COLORKEY);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, TwipsToPixels(Me().Width()),
                 TwipsToPixels(Me().Height()), SWP_SHOWWINDOW);
    NoteStartStep("colour key, shown");

    Timer1().SetInterval(kTickIntervalMs);

    SetTargetFields(clock_.Now());
}

void Form1::SetTargetFields(const DateTime& target) {
    const std::array<std::wstring, 6> fields = PresetFieldTexts(target);
    for (int i = 1; i <= 6; ++i) {
        Combo1(i).SetText(fields[static_cast<size_t>(i - 1)]);
    }
    NoteStartStep("tick, target preset");
}

Form1::Slot& Form1::SlotOf(std::wstring_view name, int index) {
    int found = FindControl(name, index);
    if (found < 0) {
        throw std::out_of_range("no control " + std::string(name.begin(), name.end()) + "(" +
                                std::to_string(index) + ")");
    }
    return slots_[static_cast<size_t>(found)];
}

template <class T>
T& Form1::Get(std::wstring_view name, int index) {
    Slot& slot = SlotOf(name, index);
    T* control = nullptr;
    if constexpr (std::is_base_of_v<Panel, T>) {
        control = dynamic_cast<T*>(slot.panel.get());
    } else if constexpr (std::is_base_of_v<WindowedControl, T>) {
        control = dynamic_cast<T*>(slot.windowed.get());
    } else {
        control = dynamic_cast<T*>(slot.windowless.get());
    }
    if (control == nullptr) {
        throw std::logic_error("control of another kind");
    }
    return *control;
}

Frame& Form1::Frame1() {
    return Get<Frame>(L"Frame1", kNoIndex);
}
Frame& Form1::Frame2() {
    return Get<Frame>(L"Frame2", kNoIndex);
}
PictureBox& Form1::Picture1(int index) {
    return Get<PictureBox>(L"Picture1", index);
}
ComboBox& Form1::Combo1(int index) {
    return Get<ComboBox>(L"Combo1", index);
}
Label& Form1::LabelGN(int index) {
    return Get<Label>(L"LabelGN", index);
}
Label& Form1::LabelAM() {
    return Get<Label>(L"LabelAM", kNoIndex);
}
Label& Form1::LabelS() {
    return Get<Label>(L"LabelS", kNoIndex);
}
Label& Form1::Label2() {
    return Get<Label>(L"Label2", kNoIndex);
}
Label& Form1::Label4(int index) {
    return Get<Label>(L"Label4", index);
}
Label& Form1::Label5() {
    return Get<Label>(L"Label5", kNoIndex);
}
Label& Form1::Label6() {
    return Get<Label>(L"Label6", kNoIndex);
}
Label& Form1::Label8(int index) {
    return Get<Label>(L"Label8", index);
}
Label& Form1::Label9() {
    return Get<Label>(L"Label9", kNoIndex);
}
Label& Form1::Label12() {
    return Get<Label>(L"Label12", kNoIndex);
}
Shape& Form1::Shape1() {
    return Get<Shape>(L"Shape1", kNoIndex);
}
Shape& Form1::Shape2() {
    return Get<Shape>(L"Shape2", kNoIndex);
}
Shape& Form1::Shape3() {
    return Get<Shape>(L"Shape3", kNoIndex);
}
Shape& Form1::Shape4(int index) {
    return Get<Shape>(L"Shape4", index);
}
Shape& Form1::Shape5(int index) {
    return Get<Shape>(L"Shape5", index);
}
Shape& Form1::Shape6() {
    return Get<Shape>(L"Shape6", kNoIndex);
}
Shape& Form1::Shape7() {
    return Get<Shape>(L"Shape7", kNoIndex);
}
OptionButton& Form1::Option1() {
    return Get<OptionButton>(L"Option1", kNoIndex);
}
OptionButton& Form1::Option2() {
    return Get<OptionButton>(L"Option2", kNoIndex);
}
OptionButton& Form1::Option3() {
    return Get<OptionButton>(L"Option3", kNoIndex);
}
OptionButton& Form1::Option4() {
    return Get<OptionButton>(L"Option4", kNoIndex);
}
OptionButton& Form1::Option5() {
    return Get<OptionButton>(L"Option5", kNoIndex);
}
OptionButton& Form1::OptionOf(ActionOption option) {
    switch (option) {
        case ActionOption::kOption1:
            return Option1();
        case ActionOption::kOption2:
            return Option2();
        case ActionOption::kOption3:
            return Option3();
        case ActionOption::kOption4:
            return Option4();
        case ActionOption::kOption5:
            break;
    }
    return Option5();
}
TextBox& Form1::Text5() {
    return Get<TextBox>(L"Text5", kNoIndex);
}
CommandButton& Form1::Command1() {
    return Get<CommandButton>(L"Command1", kNoIndex);
}

}  // namespace velmora
