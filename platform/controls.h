// The control kinds of the main window. Labels and shapes are windowless (their container draws
// them); frames and picture boxes are borderless child containers; combo boxes, option buttons,
// the text box and the command button are the standard Windows controls, coloured through the
// WM_CTLCOLOR* answers of their container.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/container.h"
#include "ui/control_table.h"

namespace velmora {

// The notification code with which the message loop tells a control's container that Enter was
// pressed in the control; single-line edit fields and combo boxes report Enter to nobody. No
// standard control sends this code.
inline constexpr int kEnterPressed = 0x7E00;

struct LabelStyle {
    HFONT font = nullptr;
    Colour foreColour = kWhite;
    Colour backColour = kPink;
    bool opaque = false;
    Alignment alignment = Alignment::kLeft;
};

// One text in one font and colour. The rectangle never changes with the text: a text that is
// too wide wraps at blanks onto further lines, and lines below the bottom edge are cut off.
class Label : public Windowless {
  public:
    Label(Container& parent, const TwipsRect& rect, const LabelStyle& style, std::wstring caption);

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);

    bool TakesPointer() const override { return true; }
    void Paint(HDC dc, GdiCache& gdi) const override;

  private:
    LabelStyle style_;
    std::wstring caption_;
};

struct ShapeStyle {
    Colour borderColour = kWhite;
    int borderWidth = 1;  // pixels, drawn inside the rectangle
    Colour fillColour = kPink;
    bool opaque = true;  // filled with fillColour, else only the outline
};

// A rectangle outline, filled when opaque.
class Shape : public Windowless {
  public:
    Shape(Container& parent, const TwipsRect& rect, const ShapeStyle& style);

    bool TakesPointer() const override { return false; }
    void Paint(HDC dc, GdiCache& gdi) const override;

  private:
    ShapeStyle style_;
};

// A borderless child container: frames (filled with their colour, caption never shown) and
// picture boxes (which also take keyboard focus).
class Panel : public Container {
  public:
    Panel(Container& parent, const TwipsRect& rect, Colour backColour, bool takesFocus);

    const TwipsRect& Rect() const { return rect_; }

  private:
    TwipsRect rect_;
};

class Frame : public Panel {
  public:
    Frame(Container& parent, const TwipsRect& rect, Colour backColour)
        : Panel(parent, rect, backColour, false) {}
};

class PictureBox : public Panel {
  public:
    PictureBox(Container& parent, const TwipsRect& rect, Colour backColour)
        : Panel(parent, rect, backColour, true) {}
};

// A standard control in a container. Colours are applied by the container.
class WindowedControl {
  public:
    virtual ~WindowedControl() = default;
    WindowedControl(const WindowedControl&) = delete;
    WindowedControl& operator=(const WindowedControl&) = delete;

    HWND Hwnd() const { return hwnd_; }
    int Id() const { return id_; }
    Container& Parent() const { return parent_; }
    Colour ForeColour() const { return foreColour_; }
    Colour BackColour() const { return backColour_; }

    // Whether `window` is this control or one of its parts (a combo box's edit field or list).
    virtual bool Owns(HWND window) const { return window == hwnd_; }
    // A WM_COMMAND notification from this control.
    virtual void OnCommand(int /*code*/) {}
    // WM_DRAWITEM for an owner-drawn control; false when the control is not owner-drawn.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

    std::wstring RawText() const;
    // Raises no change event of the control: that event is for the user's edits.
    void SetRawText(const std::wstring& text);

    ClickHandler onClick;

  protected:
    // True while SetRawText runs: the control's own notifications then are not the user's.
    bool SettingText() const { return settingText_; }

    WindowedControl(Container& parent, const wchar_t* className, DWORD style, DWORD exStyle,
                    const TwipsRect& rect, const std::wstring& text, HFONT font, Colour foreColour,
                    Colour backColour, int extraHeight = 0);

  private:
    Container& parent_;
    int id_;
    HWND hwnd_;  // destroyed with its parent window
    Colour foreColour_;
    Colour backColour_;
    bool settingText_ = false;
};

// An editable drop-down combo box (any text may be typed, also longer than the field shows);
// items keep the order in which they were added.
class ComboBox : public WindowedControl {
  public:
    ComboBox(Container& parent, const TwipsRect& rect, const std::wstring& text, HFONT font,
             Colour foreColour, Colour backColour, const std::vector<std::wstring>& items);

    std::wstring Text() const { return RawText(); }
    void SetText(const std::wstring& text) { SetRawText(text); }
    int ListCount() const;
    std::wstring List(int index) const;
    // The index of the list's selected item, or -1.
    int ListIndex() const;

    bool Owns(HWND window) const override;
    void OnCommand(int code) override;

    // The user changed the text: typed, pasted, or stepped through the list with the arrow keys.
    ClickHandler onChange;
    // The user picked an item from the dropped-down list (a click on it, or Enter).
    ClickHandler onListPick;
    ClickHandler onLostFocus;
    ClickHandler onEnter;

  private:
    HWND edit_ = nullptr;
    HWND list_ = nullptr;
    bool dropped_ = false;
};

// A radio button; all option buttons of one container form one group.
class OptionButton : public WindowedControl {
  public:
    OptionButton(Container& parent, const TwipsRect& rect, const std::wstring& caption, HFONT font,
                 Colour foreColour, Colour backColour);

    bool Value() const;
    // Selecting one clears the other option buttons of the container, as a click does.
    void SetValue(bool selected);
    std::wstring Caption() const { return RawText(); }

    void OnCommand(int code) override;
};

// A one-line editable text.
class TextBox : public WindowedControl {
  public:
    TextBox(Container& parent, const TwipsRect& rect, const std::wstring& text, HFONT font,
            Colour foreColour, Colour backColour);

    std::wstring Text() const { return RawText(); }
    void SetText(const std::wstring& text) { SetRawText(text); }

    void OnCommand(int code) override;

    // The user changed the text (typed, pasted, undid); not raised by SetText.
    ClickHandler onChange;
    ClickHandler onLostFocus;
    ClickHandler onEnter;
};

// A push button drawn by us in its own background colour (a plain BUTTON ignores the colour
// that WM_CTLCOLORBTN gives it); kSystemButtonText draws the caption in the system colour.
class CommandButton : public WindowedControl {
  public:
    CommandButton(Container& parent, const TwipsRect& rect, const std::wstring& caption, HFONT font,
                  Colour foreColour, Colour backColour);

    std::wstring Caption() const { return RawText(); }
    void SetCaption(const std::wstring& caption) { SetRawText(caption); }

    void OnCommand(int code) override;
    bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  private:
    HFONT font_;
};

}  // namespace velmora
