// Dropped lists wide enough for their items.
#pragma once

#include <windows.h>

// Widens the combo box's dropped list to its longest item, so no item is cut when the
// template's box is narrower than its text; the box itself keeps its template width.
void fit_dropped_width(HWND combo);
