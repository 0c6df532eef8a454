// Form1's table of controls, the fonts it names, and the table's queries bound to it.
#include "app/layout.h"

#include "app/drag.h"
#include "scheduler/command_labels.h"

namespace velmora {

namespace {

using K = ControlKind;
using A = Alignment;
using F = FontId;

constexpr ListItemRange kNoItems{};
constexpr const wchar_t* kOnForm = nullptr;
constexpr const wchar_t* kFrame1 = L"Frame1";
constexpr const wchar_t* kFrame2 = L"Frame2";
constexpr const wchar_t* kPicture1 = L"Picture1";

std::vector<ControlSpec> BuildControls() {
    // clang-format off
    return {
        // name, index, kind, container, container index, {left, top, width, height},
        //   text, text colour, background, opaque, font, alignment, tab, stack,
        //   border width, border colour, list items, selected

        // Containers first. Frame2 lies in front of Frame1 (they overlap by 75 twips).
        {L"Frame2", kNoIndex, K::kFrame, kOnForm, kNoIndex, {2880, 720, 2715, 2055},
         L"Frame2", kWhite, kPink, true, F::kDefault, A::kLeft, 24, 0, 0, 0, kNoItems},
        {L"Frame1", kNoIndex, K::kFrame, kOnForm, kNoIndex, {240, 720, 2715, 1935},
         L"Frame1", kWhite, kPink, true, F::kDefault, A::kLeft, 10, 1, 0, 0, kNoItems},
        {L"Picture1", 6, K::kPictureBox, kFrame1, kNoIndex, {1800, 1005, 570, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 21, 0, 0, 0, kNoItems},
        {L"Picture1", 5, K::kPictureBox, kFrame1, kNoIndex, {1080, 1005, 570, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 19, 1, 0, 0, kNoItems},
        {L"Picture1", 4, K::kPictureBox, kFrame1, kNoIndex, {240, 1005, 690, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 17, 2, 0, 0, kNoItems},
        {L"Picture1", 1, K::kPictureBox, kFrame1, kNoIndex, {240, 645, 690, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 15, 3, 0, 0, kNoItems},
        {L"Picture1", 3, K::kPictureBox, kFrame1, kNoIndex, {1800, 645, 570, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 13, 4, 0, 0, kNoItems},
        {L"Picture1", 2, K::kPictureBox, kFrame1, kNoIndex, {1080, 645, 570, 225},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, 11, 5, 0, 0, kNoItems},

        // On the window itself, front to back.
        {L"Timer1", kNoIndex, K::kTimer, kOnForm, kNoIndex, {0, 0, 0, 0},
         L"", kWhite, kWhite, false, F::kDefault, A::kLeft, kNoTab, -1, 0, 0, kNoItems},
        {L"LabelGN", 0, K::kLabel, kOnForm, kNoIndex, {7440, 1920, 225, 180},
         L"▲", kWhite, kPink, false, F::kSongTiBold9, A::kLeft, 5, 0, 0, 0, kNoItems},
        {L"LabelGN", 1, K::kLabel, kOnForm, kNoIndex, {1740, 225, 195, 180},
         L"★", kWhite, kPink, false, F::kSongTiBold9, A::kRight, 4, 1, 0, 0, kNoItems},
        {L"LabelGN", 2, K::kLabel, kOnForm, kNoIndex, {2100, 225, 390, 180},
         L"设置", kWhite, kPink, false, F::kSongTiBold9, A::kLeft, 9, 2, 0, 0, kNoItems},
        {L"LabelGN", 3, K::kLabel, kOnForm, kNoIndex, {2475, 225, 525, 180},
         kStartCaption, kWhite, kPink, false, F::kSongTiBold9, A::kRight, 2, 3, 0, 0, kNoItems},
        {L"LabelGN", 4, K::kLabel, kOnForm, kNoIndex, {3120, 225, 525, 180},
         L"退出", kWhite, kPink, false, F::kSongTiBold9, A::kLeft, 0, 4, 0, 0, kNoItems},
        {L"Label12", kNoIndex, K::kLabel, kOnForm, kNoIndex, {1920, 2760, 1815, 180},
         kLinkCaption, kWhite, kPink, false, F::kDefault, A::kCentre, 6, 5, 0, 0, kNoItems},
        {L"Label5", kNoIndex, K::kLabel, kOnForm, kNoIndex, {0, 0, 5835, 3315},
         L"", kWhite, kPink, false, F::kDefault, A::kLeft, 7, 6, 0, 0, kNoItems},
        {L"Label2", kNoIndex, K::kLabel, kOnForm, kNoIndex, {270, 225, 1260, 180},
         L"▲ 00:00:00 ▲", kWhite, kPink, false, F::kDefault, A::kCentre, 1, 7, 0, 0, kNoItems},
        {L"Shape1", kNoIndex, K::kShape, kOnForm, kNoIndex, {135, 120, 1875, 375},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 8, 3, kWhite, kNoItems},
        {L"Shape6", kNoIndex, K::kShape, kOnForm, kNoIndex, {2010, 120, 1695, 375},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 9, 3, kWhite, kNoItems},
        {L"Shape3", kNoIndex, K::kShape, kOnForm, kNoIndex, {120, 600, 5595, 2595},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 10, 3, kWhite, kNoItems},
        {L"LabelAM", kNoIndex, K::kLabel, kOnForm, kNoIndex, {6120, 1200, 330, 180},
         L"0", kPink, kRed, true, F::kDefault, A::kLeft, 8, 11, 0, 0, kNoItems},
        {L"Label9", kNoIndex, K::kLabel, kOnForm, kNoIndex, {0, 0, 2045, 555},
         L"", kWhite, kPink, false, F::kDefault, A::kLeft, 3, 12, 0, 0, kNoItems},
        {L"Label6", kNoIndex, K::kLabel, kOnForm, kNoIndex, {3720, 210, 1935, 255},
         L"", kWhite, kPink, false, F::kSongTiBold9, A::kCentre, 36, 13, 0, 0, kNoItems},
        {L"Shape4", 2, K::kShape, kOnForm, kNoIndex, {3705, 120, 1995, 375},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 14, 3, kWhite, kNoItems},

        // The combo boxes, each at (-30, -30) in its picture box so that the box clips the
        // combo's border on every side.
        {L"Combo1", 1, K::kComboBox, kPicture1, 1, {-30, -30, 765, 300},
         L"2014", kWhite, kPink, true, F::kDefault, A::kLeft, 16, 0, 0, 0, kNoItems},
        {L"Combo1", 2, K::kComboBox, kPicture1, 2, {-30, -30, 650, 300},
         L"05", kWhite, kPink, true, F::kDefault, A::kLeft, 12, 0, 0, 0, {1, 12, false}},
        {L"Combo1", 3, K::kComboBox, kPicture1, 3, {-30, -30, 650, 300},
         L"11", kWhite, kPink, true, F::kDefault, A::kLeft, 14, 0, 0, 0, {1, 31, false}},
        {L"Combo1", 4, K::kComboBox, kPicture1, 4, {-30, -30, 765, 300},
         L"10", kWhite, kPink, true, F::kDefault, A::kLeft, 18, 0, 0, 0, {1, 23, true}},
        {L"Combo1", 5, K::kComboBox, kPicture1, 5, {-30, -30, 650, 300},
         L"10", kWhite, kPink, true, F::kDefault, A::kLeft, 20, 0, 0, 0, {1, 59, true}},
        {L"Combo1", 6, K::kComboBox, kPicture1, 6, {-30, -30, 650, 300},
         L"10", kWhite, kPink, true, F::kDefault, A::kLeft, 22, 0, 0, 0, {1, 59, true}},

        // In Frame1, the target panel: labels and shapes front to back.
        {L"Label8", 1, K::kLabel, kFrame1, kNoIndex, {120, 120, 2445, 1815},
         L"", kWhite, kPink, false, F::kDefault, A::kLeft, 38, 0, 0, 0, kNoItems},
        {L"LabelS", kNoIndex, K::kLabel, kFrame1, kNoIndex, {825, 1440, 1065, 210},
         L"※※※※※", kWhite, kPink, false, F::kSongTi10_5, A::kCentre, 35, 1, 0, 0, kNoItems},
        {L"Label8", 3, K::kLabel, kFrame1, kNoIndex, {615, 240, 1440, 180},
         L"设置任务执行时间", kWhite, kPink, false, F::kDefault, A::kCentre, 23, 2, 0, 0, kNoItems},
        {L"Shape5", 6, K::kShape, kFrame1, kNoIndex, {1755, 960, 690, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 3, 1, kWhite, kNoItems},
        {L"Shape5", 5, K::kShape, kFrame1, kNoIndex, {1035, 960, 690, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 4, 1, kWhite, kNoItems},
        {L"Shape5", 4, K::kShape, kFrame1, kNoIndex, {195, 960, 810, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 5, 1, kWhite, kNoItems},
        {L"Shape5", 1, K::kShape, kFrame1, kNoIndex, {195, 600, 810, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 6, 1, kWhite, kNoItems},
        {L"Shape5", 3, K::kShape, kFrame1, kNoIndex, {1755, 600, 690, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 7, 1, kWhite, kNoItems},
        {L"Shape5", 2, K::kShape, kFrame1, kNoIndex, {1035, 600, 690, 315},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 8, 1, kWhite, kNoItems},
        {L"Shape7", kNoIndex, K::kShape, kFrame1, kNoIndex, {120, 120, 2475, 1815},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 9, 2, kWhite, kNoItems},

        // In Frame2, the action panel: windowed controls front to back, then labels and shapes.
        {L"Text5", kNoIndex, K::kTextBox, kFrame2, kNoIndex, {315, 1440, 1380, 270},
         L"", kWhite, kMagenta, true, F::kDefault, A::kLeft, 31, 0, 0, 0, kNoItems},
        {L"Option3", kNoIndex, K::kOptionButton, kFrame2, kNoIndex, {315, 1200, 1305, 255},
         L"运行", kWhite, kMagenta, true, F::kDefault, A::kLeft, 30, 1, 0, 0, kNoItems},
        {L"Command1", kNoIndex, K::kCommandButton, kFrame2, kNoIndex, {1800, 1440, 555, 270},
         L"浏览", kSystemButtonText, kMagenta, true, F::kKaiTi9, A::kCentre, 29, 2, 0, 0, kNoItems},
        {L"Option1", kNoIndex, K::kOptionButton, kFrame2, kNoIndex, {200, 600, 1305, 255},
         L"关机+截屏", kWhite, kMagenta, true, F::kDefault, A::kLeft, 28, 3, 0, 0, kNoItems, true},
        {L"Option2", kNoIndex, K::kOptionButton, kFrame2, kNoIndex, {200, 840, 1305, 255},
         L"重启+截屏", kWhite, kMagenta, true, F::kDefault, A::kLeft, 27, 4, 0, 0, kNoItems},
        {L"Option4", kNoIndex, K::kOptionButton, kFrame2, kNoIndex, {1560, 600, 945, 255},
         L"关机", kWhite, kMagenta, true, F::kDefault, A::kLeft, 26, 5, 0, 0, kNoItems},
        {L"Option5", kNoIndex, K::kOptionButton, kFrame2, kNoIndex, {1560, 840, 945, 255},
         L"重启", kWhite, kMagenta, true, F::kDefault, A::kLeft, 25, 6, 0, 0, kNoItems},
        {L"Label8", 0, K::kLabel, kFrame2, kNoIndex, {120, 120, 2445, 1815},
         L"", kWhite, kPink, false, F::kDefault, A::kLeft, 37, 0, 0, 0, kNoItems},
        {L"Label8", 2, K::kLabel, kFrame2, kNoIndex, {120, 240, 2415, 255},
         L"设置任务动作类型", kWhite, kPink, false, F::kDefault, A::kCentre, 34, 1, 0, 0, kNoItems},
        {L"Label8", 4, K::kLabel, kFrame2, kNoIndex, {195, 1200, 2310, 615},
         L"", kWhite, kMagenta, true, F::kDefault, A::kLeft, 33, 2, 0, 0, kNoItems},
        {L"Shape2", kNoIndex, K::kShape, kFrame2, kNoIndex, {120, 120, 2475, 1815},
         L"", kWhite, kPink, true, F::kDefault, A::kLeft, kNoTab, 3, 2, kWhite, kNoItems},
        {L"Label4", 1, K::kLabel, kFrame2, kNoIndex, {345, 240, 105, 180},
         L"", kWhite, kPink, false, F::kDefault, A::kCentre, 32, 4, 0, 0, kNoItems},
    };
    // clang-format on
}

}  // namespace

FontSpec FontFor(FontId id) {
    switch (id) {
        case F::kSongTiBold9:
            return {L"宋体", 9.0f, 700, kGb2312Charset};
        case F::kSongTi10_5:
            return {L"宋体", 10.5f, 400, kGb2312Charset};
        case F::kKaiTi9:
            return {L"楷体_GB2312", 9.0f, 400, kGb2312Charset};
        case F::kDefault:
            break;
    }
    return {L"宋体", 9.0f, 400, kGb2312Charset};
}

const FormSpec& FormLayout() {
    static const FormSpec form{kProductTitle, 5865, 3345, kLayoutBackground, false};
    return form;
}

const ControlTable& Controls() {
    static const std::vector<ControlSpec> controls = BuildControls();
    return controls;
}

int FindControl(std::wstring_view name, int index) {
    return FindControl(Controls(), name, index);
}

int ContainerOf(int control) {
    return ContainerOf(Controls(), control);
}

std::vector<int> ChildrenFrontToBack(int container) {
    return ChildrenFrontToBack(Controls(), container);
}

int PointerTarget(int container, TwipsPoint p) {
    return PointerTarget(Controls(), container, p);
}

std::vector<int> TabOrder() {
    return TabOrder(Controls());
}

}  // namespace velmora
