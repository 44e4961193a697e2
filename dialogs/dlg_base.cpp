#include "dialogs/dlg_base.h"

#include <commctrl.h>

#include <vector>

const wchar_t* const dlg_base_object_prop_name = L"dlg_base_object_prop_name";

namespace {

dlg_base* bound_object(HWND window)
{
    return static_cast<dlg_base*>(GetPropW(window, dlg_base_object_prop_name));
}

// Signed halves truncate toward zero, so an odd difference leaves the extra pixel on
// the right or bottom side.
int centred_offset(LONG reference_extent, LONG own_extent)
{
    return static_cast<int>((reference_extent - own_extent) / 2);
}

} // namespace

dlg_base::dlg_base(int template_id_value, HWND parent_window)
    : parent(parent_window), template_id(template_id_value)
{
}

INT_PTR dlg_base::handle_message(UINT, WPARAM, LPARAM) { return 0; }

void dlg_base::on_font_changed() {}

dlg_base::~dlg_base()
{
    if (IsWindow(hwnd)) {
        // Unbind first: the window must not call back into a half-destroyed object.
        SetPropW(hwnd, dlg_base_object_prop_name, nullptr);
        DestroyWindow(hwnd);
    }
    EnableWindow(parent, TRUE);
    BringWindowToTop(parent);
}

INT_PTR CALLBACK base_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* object = reinterpret_cast<dlg_base*>(lparam);
        SetPropW(window, dlg_base_object_prop_name, object);
        if (object)
            object->hwnd = window;
        break;
    }
    case WM_DESTROY:
        SetPropW(window, dlg_base_object_prop_name, nullptr);
        return 0;
    case WM_NCDESTROY:
        // The last message: a window must not take its properties with it.
        RemovePropW(window, dlg_base_object_prop_name);
        return 0;
    default:
        break;
    }
    dlg_base* object = bound_object(window);
    return object ? object->handle_message(message, wparam, lparam) : 0;
}

HWND dlg_base::create(HINSTANCE instance)
{
    hwnd = CreateDialogParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(template_id & 0xFFFF),
                              parent, base_dialog_proc, reinterpret_cast<LPARAM>(this));
    return hwnd;
}

void dlg_base::show(bool visible)
{
    const int command = visible ? SW_SHOW : SW_HIDE;
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    // The pages are child dialogs: for them this is all.
    if (style & WS_CHILD) {
        ShowWindow(hwnd, command);
        return;
    }

    // Only a top-level dialog is placed, and keeps its parent disabled while it is shown.
    if (visible) {
        RECT work{};
        RECT reference{};
        HWND z_position = HWND_TOP;
        if (IsWindow(parent)) {
            MONITORINFO monitor{};
            monitor.cbSize = sizeof(monitor);
            GetMonitorInfoW(MonitorFromWindow(parent, MONITOR_DEFAULTTOPRIMARY), &monitor);
            work = monitor.rcWork;
            GetWindowRect(parent, &reference);
        } else {
            GetWindowRect(GetDesktopWindow(), &work);
            reference = work;
            z_position = HWND_TOPMOST;
        }

        RECT own{};
        GetWindowRect(hwnd, &own);
        const LONG width = own.right - own.left;
        const LONG height = own.bottom - own.top;
        LONG x = reference.left + centred_offset(reference.right - reference.left, width);
        LONG y = reference.top + centred_offset(reference.bottom - reference.top, height);
        // Left and top are clamped last so they win when the dialog is larger than the area.
        if (x + width > work.right)
            x = work.right - width;
        if (x < work.left)
            x = work.left;
        if (y + height > work.bottom)
            y = work.bottom - height;
        if (y < work.top)
            y = work.top;
        SetWindowPos(hwnd, z_position, x, y, width, height, SWP_NOSIZE);
        UpdateWindow(hwnd);
    }
    EnableWindow(parent, visible ? FALSE : TRUE);
    ShowWindow(hwnd, command);
}

std::int32_t dlg_base::run_modal(HWND owner)
{
    modal_result = 0;

    const bool owner_is_window = IsWindow(owner) != FALSE;
    bool disabled_owner = false;
    if (owner_is_window && owner != GetDesktopWindow()) {
        EnableWindow(owner, FALSE);
        disabled_owner = true;
    }

    RECT own{};
    RECT reference{};
    GetWindowRect(hwnd, &own);
    GetWindowRect(owner_is_window ? owner : GetDesktopWindow(), &reference);
    const int dx = centred_offset(reference.right - reference.left, own.right - own.left) +
                   static_cast<int>(reference.left - own.left);
    const int dy = centred_offset(reference.bottom - reference.top, own.bottom - own.top) +
                   static_cast<int>(reference.top - own.top);
    OffsetRect(&own, dx, dy);
    MoveWindow(hwnd, own.left, own.top, own.right - own.left, own.bottom - own.top, FALSE);
    ShowWindow(hwnd, SW_SHOW);

    // No IsDialogMessageW, on purpose: the program's keyboard has no dialog meaning (Tab,
    // the arrows, Enter and Esc go to the control that has the focus, as they always have).
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        if (modal_result != 0)
            break;
    }

    ShowWindow(hwnd, SW_HIDE);
    if (disabled_owner)
        EnableWindow(owner, TRUE);
    return modal_result;
}

std::wstring dlg_base::get_item_text(int id) const
{
    HWND control = GetDlgItem(hwnd, id);
    const int length = control ? GetWindowTextLengthW(control) : 0;
    // Room beyond the reported length: the text may grow between the two calls.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 8, L'\0');
    if (control)
        GetWindowTextW(control, buffer.data(), length + 2);
    return std::wstring(buffer.data());
}

std::int32_t add_tab_page(HWND tab, dlg_base* page, const wchar_t* label)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(label);
    item.lParam = reinterpret_cast<LPARAM>(page);
    // A message to a non-window "returns" 0, which would read as tab 0: report the
    // failure instead of sending.
    if (!IsWindow(tab))
        return -1;
    const LRESULT position = SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0);
    return static_cast<std::int32_t>(
        SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&item)));
}
