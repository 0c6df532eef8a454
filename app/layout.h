// Form1's table of controls (kind, container, rectangle in twips, texts, colours, font,
// alignment, tab position, stacking place, list items), the fonts it names, and the table's
// queries bound to it. Form1 creates its controls from this table through the Win32 layer.
#pragma once

#include <string_view>
#include <vector>

#include "ui/control_table.h"

namespace velmora {

// The window's background as laid out; start-up replaces it by the key colour.
inline constexpr Colour kLayoutBackground = Rgb(64, 64, 64);

// The face, size and weight of each font the table names.
FontSpec FontFor(FontId id);

const FormSpec& FormLayout();

// Every control of the window, containers before their contents.
const ControlTable& Controls();

// The queries of ui/control_table.h over Form1's table.
int FindControl(std::wstring_view name, int index = kNoIndex);
int ContainerOf(int control);
std::vector<int> ChildrenFrontToBack(int container);
int PointerTarget(int container, TwipsPoint p);
std::vector<int> TabOrder();

}  // namespace velmora
