#include "dialogs/dlg_err_msg.h"

#include "dialogs/clipboard_text.h"
#include "dialogs/dpi_scale.h"
#include "dialogs/error_code_search.h"
#include "dialogs/error_table.h"
#include "dialogs/list_view.h"
#include "resources/resource.h"
#include "support/tab_separated_text.h"
#include "support/text_convert.h"
#include "support/text_format.h"

#include <commctrl.h>
#include <windowsx.h>

#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct column_def {
    const wchar_t* title;
    int width_at_96_dpi;
};

constexpr column_def error_columns[] = {
    {L"序号", 40},
    {L"错误代码（十/十六进制）", 150},
    {L"错误描述", 319},
};
constexpr int column_count = static_cast<int>(std::size(error_columns));

struct menu_item {
    UINT command;
    const wchar_t* text;
};

constexpr menu_item row_menu_items[] = {
    {IDM_COPY_ROWS, L"复制"},
    {IDM_SELECT_ALL_ROWS, L"全选"},
};

struct menu_destroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using unique_menu = std::unique_ptr<std::remove_pointer_t<HMENU>, menu_destroyer>;

int next_row(HWND list, int after, UINT which)
{
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), which));
}

constexpr UINT_PTR code_search_subclass = 1;

// The list's own type-ahead would match the row numbers of the first column, so typed
// characters go to the code search before the list sees them. (Wine's list does its
// search on WM_CHAR without the LVN_INCREMENTALSEARCH notification Windows' sends.)
LRESULT CALLBACK code_search_proc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR page)
{
    if (message == WM_CHAR &&
        reinterpret_cast<dlg_err_msg*>(page)->on_list_char(static_cast<wchar_t>(wparam),
                                                           static_cast<DWORD>(GetMessageTime())))
        return 0;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(list, code_search_proc, id);
    return DefSubclassProc(list, message, wparam, lparam);
}

} // namespace

dlg_err_msg::dlg_err_msg(HWND parent_window) : dlg_base(IDD_ERR_MSG, parent_window) {}

INT_PTR dlg_err_msg::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        init_page();
        return 1;
    case WM_NOTIFY: {
        // The list's keys arrive here, not through the message loop: it does no dialog
        // keyboard handling, so Tab, Esc and Enter keep meaning nothing.
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header && header->hwndFrom == list_ctrl && list_ctrl && header->code == LVN_KEYDOWN)
            on_list_key(reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey);
        return 1;
    }
    case WM_CONTEXTMENU:
        // The list sends it for a right-click (after selecting the row under the pointer),
        // Shift+F10 and the menu key.
        if (reinterpret_cast<HWND>(wparam) != list_ctrl || !list_ctrl)
            return 0;
        show_row_menu(lparam);
        return 1;
    case WM_COMMAND:
        // The list is a reference only: no command has an effect.
        return 1;
    default:
        return 0;
    }
}

void dlg_err_msg::init_page()
{
    list_ctrl = GetDlgItem(hwnd, IDC_ERR_LIST);
    SendMessageW(list_ctrl, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    SetWindowSubclass(list_ctrl, code_search_proc, code_search_subclass, reinterpret_cast<DWORD_PTR>(this));

    int position = 0;
    for (const column_def& def : error_columns)
        list_add_column(list_ctrl, position++, def.title, scale_for_dpi(list_ctrl, def.width_at_96_dpi));

    fill_error_list();
    UpdateWindow(hwnd);
}

void dlg_err_msg::fill_error_list()
{
    // Filling the 53 rows with drawing on was the largest part of the program's own start-up.
    const list_redraw_off quiet(list_ctrl);
    for (const error_entry& entry : error_table)
        add_error_row(entry.code, entry.message);
}

void dlg_err_msg::add_error_row(std::int32_t code, const char* message)
{
    const int row = list_append_row(list_ctrl, decimal_text(list_row_count(list_ctrl) + 1));
    // A refused row has no cells to fill; -1 must not reach LVM_SETITEMTEXTW.
    if (row < 0)
        return;

    wchar_t code_text[80] = {};
    format_text(code_text, 79, L"%0*d   -   0x%0*X", error_code_decimal_digits, code, error_code_hex_digits, code);
    list_set_cell(list_ctrl, row, 1, code_text);
    list_set_cell(list_ctrl, row, 2, multibyte_to_wide(message, CP_UTF8));
}

void dlg_err_msg::copy_selected_rows()
{
    std::vector<text_row> rows;
    for (int row = next_row(list_ctrl, -1, LVNI_SELECTED); row >= 0; row = next_row(list_ctrl, row, LVNI_SELECTED)) {
        text_row cells;
        for (int column = 0; column < column_count; ++column)
            cells.push_back(list_cell_text(list_ctrl, row, column));
        rows.push_back(std::move(cells));
    }
    if (!rows.empty())
        put_clipboard_text(hwnd, tab_separated_text(rows));
}

void dlg_err_msg::select_all_rows()
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageW(list_ctrl, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

void dlg_err_msg::on_list_key(WORD key)
{
    // Ctrl without Alt: Ctrl+Alt is AltGr on many keyboards, which types characters.
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0)
        return;
    if (key == 'C')
        copy_selected_rows();
    else if (key == 'A')
        select_all_rows();
}

bool dlg_err_msg::on_list_char(wchar_t key, DWORD time)
{
    // Ctrl+C arrives as character 3 too; the space selects the focused row.
    if (key <= L' ' || key == 0x7F)
        return false;
    // The pause after which a list's type-ahead starts again; the difference is right
    // across the wrap of the millisecond count too.
    if (time - last_key_time >= 2 * GetDoubleClickTime())
        typed_code.clear();
    last_key_time = time;

    std::wstring code = typed_code + key;
    auto row = find_error_row(code);
    if (!row)
        row = find_error_row(code.assign(1, key));
    if (!row) {
        MessageBeep(MB_OK);
        return true;
    }
    typed_code = code;
    select_found_row(static_cast<int>(*row));
    return true;
}

// The found row alone selected, focused and in view, so that Ctrl+C copies it and Shift
// with an arrow key extends the selection from it. (Wine's list scrolls to a newly
// focused row by itself; Windows' does not.)
void dlg_err_msg::select_found_row(int row)
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    SendMessageW(list_ctrl, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_ctrl, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list_ctrl, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(list_ctrl, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void dlg_err_msg::show_row_menu(LPARAM where)
{
    POINT point{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (point.x == -1 && point.y == -1)
        point = keyboard_menu_point();

    const unique_menu menu(CreatePopupMenu());
    if (!menu)
        return;
    const bool any_selected = SendMessageW(list_ctrl, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    for (const menu_item& item : row_menu_items) {
        const UINT grayed = item.command == IDM_COPY_ROWS && !any_selected ? MF_GRAYED : 0;
        AppendMenuW(menu.get(), MF_STRING | grayed, item.command, item.text);
    }
    // The choice comes back here rather than as WM_COMMAND, which the page ignores.
    const auto command = static_cast<UINT>(
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, hwnd, nullptr));
    if (command == IDM_COPY_ROWS)
        copy_selected_rows();
    else if (command == IDM_SELECT_ALL_ROWS)
        select_all_rows();
}

// A menu asked for from the keyboard opens at the focused row (else the first selected)
// while it is in view, else at the list's top-left corner.
POINT dlg_err_msg::keyboard_menu_point() const
{
    RECT client{};
    GetClientRect(list_ctrl, &client);
    POINT point{client.left, client.top};
    int row = next_row(list_ctrl, -1, LVNI_FOCUSED);
    if (row < 0)
        row = next_row(list_ctrl, -1, LVNI_SELECTED);
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (row >= 0 &&
        SendMessageW(list_ctrl, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) {
        const POINT in_row{bounds.left > client.left ? bounds.left : client.left, (bounds.top + bounds.bottom) / 2};
        if (PtInRect(&client, in_row))
            point = in_row;
    }
    ClientToScreen(list_ctrl, &point);
    return point;
}
