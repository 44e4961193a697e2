#include "dialogs/combo_width.h"

#include "dialogs/dpi_scale.h"

#include <algorithm>
#include <string>

void fit_dropped_width(HWND combo)
{
    HDC context = GetDC(combo);
    if (!context)
        return;
    const HGDIOBJ old_font = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    const auto count = static_cast<WPARAM>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (WPARAM i = 0; i < count; ++i) {
        const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length == CB_ERR)
            continue;
        std::wstring label(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&label[0]));
        label.resize(static_cast<std::size_t>(length));
        SIZE extent{};
        if (GetTextExtentPoint32W(context, label.c_str(), static_cast<int>(label.size()), &extent))
            widest = std::max(widest, extent.cx);
    }
    SelectObject(context, old_font);
    ReleaseDC(combo, context);
    // The list's border and the item's text margins on both sides.
    const int margins = 2 * GetSystemMetrics(SM_CXEDGE) + scale_for_dpi(combo, 8);
    SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + margins), 0);
}

