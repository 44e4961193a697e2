#include "dialogs/combo_box.h"

#include "dialogs/dpi_scale.h"
#include "dialogs/window_dc.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

LONG widest_item(HWND combo, WPARAM count)
{
    const window_dc context(combo, true);
    if (!context.get())
        return 0;
    LONG widest = 0;
    for (WPARAM i = 0; i < count; ++i) {
        const std::wstring label = combo_item_text(combo, i);
        SIZE extent{};
        if (GetTextExtentPoint32W(context.get(), label.c_str(), static_cast<int>(label.size()), &extent))
            widest = std::max(widest, extent.cx);
    }
    return widest;
}

// Whether the dropped list holds more items than it shows at once, so that a vertical
// scroll bar takes part of its width. The list shows as many items as the template's
// height leaves room for, or with version 6 of the common controls up to the box's
// minimum of visible items; the smaller count is taken, as a list a scroll bar's width
// too wide is better than a cut one.
bool list_scrolls(HWND combo, WPARAM count)
{
    RECT dropped{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const LRESULT field_height = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    const LRESULT item_height = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    if (field_height == CB_ERR || item_height == CB_ERR || item_height <= 0)
        return false;
    LRESULT shown = ((dropped.bottom - dropped.top) - field_height) / item_height;
    const LRESULT minimum_visible = SendMessageW(combo, CB_GETMINVISIBLE, 0, 0);
    if (minimum_visible > 0)
        shown = std::min(shown, minimum_visible);
    return static_cast<LRESULT>(count) > shown;
}

} // namespace

std::wstring combo_item_text(HWND combo, WPARAM index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void fit_dropped_width(HWND combo)
{
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (count == CB_ERR || count <= 0)
        return;
    const auto items = static_cast<WPARAM>(count);
    // The list's border and the item's text margins on both sides.
    LONG width = widest_item(combo, items) + 2 * GetSystemMetrics(SM_CXEDGE) + scale_for_dpi(combo, 8);
    if (list_scrolls(combo, items))
        width += GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}
