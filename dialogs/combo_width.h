// Dropped lists wide enough for their items.
#pragma once

#include <windows.h>

// Widens the combo box's dropped list to its longest item, so no item is cut when the
// template's box is narrower than its text; the box itself keeps its template width.
// Measured in the box's own font, with room for a vertical scroll bar when the list
// holds more items than it shows at once.
void fit_dropped_width(HWND combo);
