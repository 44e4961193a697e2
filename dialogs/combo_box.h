// Combo boxes: the text of an item, and dropped lists wide enough for their items.
#pragma once

#include <windows.h>

#include <string>

// Widens the combo box's dropped list to its longest item, so no item is cut when the
// template's box is narrower than its text; the box itself keeps its template width.
// Measured in the box's own font, with room for a vertical scroll bar when the list
// holds more items than it shows at once.
void fit_dropped_width(HWND combo);

// The text of item `index` of a combo box; empty when there is no such item.
std::wstring combo_item_text(HWND combo, WPARAM index);
