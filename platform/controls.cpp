// The control kinds: windowless labels and shapes, borderless panels, and the standard
// Windows controls with the styles the window needs.
#include "platform/controls.h"

#include "platform/win32_error.h"

namespace velmora {

namespace {

constexpr wchar_t kPanelClass[] = L"VelmoraPanel";
// Room below a combo box's field for its dropped-down list; the window's height given to
// CreateWindowEx includes the list.
constexpr int kDropDownListPixels = 200;

void Raise(const ClickHandler& handler) {
    if (handler) {
        handler();
    }
}

UINT AlignmentFlag(Alignment alignment) {
    switch (alignment) {
        case Alignment::kRight:
            return DT_RIGHT;
        case Alignment::kCentre:
            return DT_CENTER;
        case Alignment::kLeft:
            break;
    }
    return DT_LEFT;
}

}  // namespace

Label::Label(Container& parent, const TwipsRect& rect, const LabelStyle& style,
             std::wstring caption)
    : Windowless(parent, rect), style_(style), caption_(std::move(caption)) {}

void Label::SetCaption(const std::wstring& caption) {
    if (caption != caption_) {
        caption_ = caption;
        Invalidate();
    }
}

void Label::Paint(HDC dc, GdiCache& gdi) const {
    RECT r = ToPixels(Rect());
    if (style_.opaque) {
        FillRect(dc, &r, gdi.Brush(style_.backColour));
    }
    if (caption_.empty()) {
        return;
    }
    // Clip explicitly: lines that wrap below the bottom edge must not show, and a text is
    // never drawn outside its own rectangle.
    int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    {
        SelectGuard font(
            dc, style_.font ? static_cast<HGDIOBJ>(style_.font) : GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, ResolveColour(style_.foreColour));
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &r,
                  DT_WORDBREAK | DT_NOPREFIX | AlignmentFlag(style_.alignment));
    }
    RestoreDC(dc, saved);
}

Shape::Shape(Container& parent, const TwipsRect& rect, const ShapeStyle& style)
    : Windowless(parent, rect), style_(style) {}

void Shape::Paint(HDC dc, GdiCache& gdi) const {
    RECT r = ToPixels(Rect());
    HGDIOBJ brush = style_.opaque ? static_cast<HGDIOBJ>(gdi.Brush(style_.fillColour))
                                  : GetStockObject(NULL_BRUSH);
    SelectGuard pen(dc, gdi.Pen(style_.borderColour, style_.borderWidth));
    SelectGuard fill(dc, brush);
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

Panel::Panel(Container& parent, const TwipsRect& rect, Colour backColour, bool takesFocus)
    : Container(parent.Gdi(), backColour), rect_(rect) {
    RegisterContainerClass(kPanelClass, nullptr, nullptr);
    RECT px = ToPixels(rect);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (takesFocus) {
        style |= WS_TABSTOP;
    }
    CreateContainerWindow(kPanelClass, 0, style, px.left, px.top, px.right - px.left,
                          px.bottom - px.top, parent.Hwnd(), parent.NextControlId());
}

WindowedControl::WindowedControl(Container& parent, const wchar_t* className, DWORD style,
                                 DWORD exStyle, const TwipsRect& rect, const std::wstring& text,
                                 HFONT font, Colour foreColour, Colour backColour, int extraHeight)
    : parent_(parent),
      id_(parent.NextControlId()),
      foreColour_(foreColour),
      backColour_(backColour) {
    RECT px = ToPixels(rect);
    hwnd_ = CheckHandle(
        CreateWindowExW(
            exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
            px.left, px.top, px.right - px.left, px.bottom - px.top + extraHeight, parent.Hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr),
        "CreateWindowExW (control)");
    if (font) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    parent.AddWindowed(*this);
}

std::wstring WindowedControl::RawText() const {
    int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

void WindowedControl::SetRawText(const std::wstring& text) {
    // An edit field reports WM_SETTEXT as EN_CHANGE, synchronously, to the container.
    settingText_ = true;
    SetWindowTextW(hwnd_, text.c_str());
    settingText_ = false;
}

ComboBox::ComboBox(Container& parent, const TwipsRect& rect, const std::wstring& text, HFONT font,
                   Colour foreColour, Colour backColour, const std::vector<std::wstring>& items)
    : WindowedControl(parent, L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                      0, rect, L"", /*font=*/nullptr, foreColour, backColour, kDropDownListPixels) {
    HWND hwnd = Hwnd();
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(hwnd, &info)) {
        edit_ = info.hwndItem;
        list_ = info.hwndList;
    }
    // Closed, the combo box is as high as its selection field plus a frame that no font changes:
    // give the field the height that makes the box exactly as high as laid out. The font then
    // goes to the field and the list themselves. Given to the combo box, it would be passed on
    // to them just so, but the box would also lay itself out once more for it (under Wine three
    // window moves, one of them the list's own popup, and a redraw), only for the height to do
    // it again.
    RECT px = ToPixels(rect);
    RECT closed{};
    GetWindowRect(hwnd, &closed);
    const LRESULT field = SendMessageW(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (field != CB_ERR) {
        const LRESULT wanted = (px.bottom - px.top) - ((closed.bottom - closed.top) - field);
        if (wanted > 0 && wanted != field) {
            SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), wanted);
        }
    }
    for (HWND part : {edit_, list_}) {
        if (font && part) {
            SendMessageW(part, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
    for (const std::wstring& item : items) {
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (!text.empty()) {
        SetText(text);
    }
}

int ComboBox::ListCount() const {
    return static_cast<int>(SendMessageW(Hwnd(), CB_GETCOUNT, 0, 0));
}

std::wstring ComboBox::List(int index) const {
    LRESULT length = SendMessageW(Hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(Hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

int ComboBox::ListIndex() const {
    return static_cast<int>(SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0));
}

void ComboBox::OnCommand(int code) {
    switch (code) {
        case CBN_DROPDOWN:
            dropped_ = true;
            break;
        case CBN_CLOSEUP:
            dropped_ = false;
            break;
        case CBN_EDITCHANGE:
        case CBN_SELCHANGE:
            if (!SettingText()) {
                Raise(onChange);
            }
            break;
        case CBN_SELENDOK:
            // Wine sends it also for each arrow-key step through a closed list: a step is a
            // change, and only an item taken from the open list is a pick. A mouse pick comes
            // before its CBN_CLOSEUP (and before its CBN_SELCHANGE).
            if (dropped_) {
                Raise(onListPick);
            }
            break;
        case CBN_KILLFOCUS:
            Raise(onLostFocus);
            break;
        case kEnterPressed:
            Raise(onEnter);
            break;
        default:
            break;
    }
}

bool ComboBox::Owns(HWND window) const {
    return window == Hwnd() || (window != nullptr && (window == edit_ || window == list_));
}

OptionButton::OptionButton(Container& parent, const TwipsRect& rect, const std::wstring& caption,
                           HFONT font, Colour foreColour, Colour backColour)
    : WindowedControl(parent, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP, 0, rect, caption, font,
                      foreColour, backColour) {}

bool OptionButton::Value() const {
    return SendMessageW(Hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionButton::SetValue(bool selected) {
    if (selected) {
        for (WindowedControl* sibling : Parent().WindowedChildren()) {
            if (sibling != this && dynamic_cast<OptionButton*>(sibling) != nullptr) {
                SendMessageW(sibling->Hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
            }
        }
    }
    SendMessageW(Hwnd(), BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButton::OnCommand(int code) {
    if (code == BN_CLICKED && onClick) {
        onClick();
    }
}

TextBox::TextBox(Container& parent, const TwipsRect& rect, const std::wstring& text, HFONT font,
                 Colour foreColour, Colour backColour)
    : WindowedControl(parent, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                      rect, text, font, foreColour, backColour) {}

void TextBox::OnCommand(int code) {
    switch (code) {
        case EN_CHANGE:
            if (!SettingText()) {
                Raise(onChange);
            }
            break;
        case EN_KILLFOCUS:
            Raise(onLostFocus);
            break;
        case kEnterPressed:
            Raise(onEnter);
            break;
        default:
            break;
    }
}

CommandButton::CommandButton(Container& parent, const TwipsRect& rect, const std::wstring& caption,
                             HFONT font, Colour foreColour, Colour backColour)
    : WindowedControl(parent, L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, rect, caption, font,
                      foreColour, backColour),
      font_(font) {}

void CommandButton::OnCommand(int code) {
    // An owner-drawn button reports a quick second click as a double click.
    if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && onClick) {
        onClick();
    }
}

bool CommandButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &r, Parent().Gdi().Brush(BackColour()));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT textRect = r;
    if (pressed) {
        OffsetRect(&textRect, 1, 1);
    }
    std::wstring caption = Caption();
    {
        SelectGuard font(dc,
                         font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ResolveColour(ForeColour()));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

}  // namespace velmora
