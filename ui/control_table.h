// The words a window's control table is written in: colours, kinds of control, fonts, the
// description of one control and of the window, and the queries over such a table (container,
// stacking, pointer hit test, tab order). Plain data and arithmetic: the Win32 layer draws from
// them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/twips.h"

namespace velmora {

// A colour as Windows lays out a COLORREF: 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

inline constexpr Colour kPink = Rgb(255, 128, 255);
inline constexpr Colour kMagenta = Rgb(255, 0, 255);
inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kRed = Rgb(255, 0, 0);
// Not a colour: "the platform's current button-text colour", looked up when drawing.
inline constexpr Colour kSystemButtonText = 0xFF000000u;

enum class ControlKind {
    kLabel,
    kShape,
    kFrame,
    kPictureBox,
    kComboBox,
    kOptionButton,
    kTextBox,
    kCommandButton,
    kTimer,
};

// Frames and picture boxes hold other controls and are windows of their own.
bool IsContainer(ControlKind kind);
// Everything but labels, shapes and the timer is a window of its own.
bool IsWindowed(ControlKind kind);

enum class Alignment { kLeft, kRight, kCentre };

// The fonts that a table names; kDefault is the window's own font. The application says which
// face, size and weight each one is.
enum class FontId {
    kDefault,      // 宋体 9 pt regular
    kSongTiBold9,  // 宋体 9 pt bold
    kSongTi10_5,   // 宋体 10.5 pt regular
    kKaiTi9,       // 楷体_GB2312 9 pt regular
};

struct FontSpec {
    const wchar_t* face;
    float points;
    int weight;
    int charset;
};
inline constexpr int kGb2312Charset = 134;

// The drop-down items of a combo box: first..last as two-digit texts, then "00" when zeroLast.
struct ListItemRange {
    int first = 0;
    int last = -1;  // first > last: no items
    bool zeroLast = false;
};

inline constexpr int kNoIndex = -1;
inline constexpr int kNoTab = -1;
inline constexpr int kForm = -1;  // the container of the controls that lie on the window itself

struct ControlSpec {
    const wchar_t* name;
    int index;  // member of a control array, or kNoIndex
    ControlKind kind;
    const wchar_t* containerName;  // nullptr: on the window itself
    int containerIndex;
    TwipsRect rect;
    const wchar_t* text;
    Colour foreColour;
    Colour backColour;
    bool opaque;  // labels and shapes: fill the background; windowed controls always do
    FontId font;
    Alignment alignment;
    int tab;    // tab position, kNoTab for shapes and the timer
    int stack;  // 0 is frontmost among the windowed, or among the windowless, of one container
    int borderWidth;  // shapes: pixels
    Colour borderColour;
    ListItemRange items;
    bool selected = false;  // option buttons: checked as laid out
};

// The window's own properties as laid out.
struct FormSpec {
    const wchar_t* caption;
    float width;  // twips
    float height;
    Colour background;
    bool autoRedraw;
};

// Every control of one window. Containers come before their contents, so that creating the
// controls in table order always finds the container already made.
using ControlTable = std::vector<ControlSpec>;

// Table index of the named control, or -1.
int FindControl(const ControlTable& controls, std::wstring_view name, int index = kNoIndex);
// Table index of a control's container, or kForm.
int ContainerOf(const ControlTable& controls, int control);

std::vector<std::wstring> ListItems(const ListItemRange& range);

// Table indices of the controls that lie directly in `container`, front to back: first the
// windowed ones, then the labels and shapes (the windowless ones always lie behind).
std::vector<int> ChildrenFrontToBack(const ControlTable& controls, int container);

// Hit test over one stacking layer: the first box, front to back, that takes pointer input and
// holds the point. Shared by the table's hit test and the window's pointer routing.
struct HitBox {
    TwipsRect rect;
    bool takesPointer;
};
int FrontmostHit(const std::vector<HitBox>& frontToBack, TwipsPoint p);

// Which control receives a pointer event at `p` (twips in `container`'s inner area): the
// windowed control under it (descending into frames and picture boxes), else the frontmost
// label, else the container itself (kForm for the window). A shape never receives one.
int PointerTarget(const ControlTable& controls, int container, TwipsPoint p);

// Controls that take keyboard focus, in ascending tab position.
std::vector<int> TabOrder(const ControlTable& controls);

}  // namespace velmora
