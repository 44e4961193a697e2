#include "dialogs/list_view.h"

#include <commctrl.h>

#include <algorithm>

void list_add_column(HWND list, int index, const wchar_t* title, int width)
{
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title); // the list copies it
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

int list_append_row(HWND list, const std::wstring& text)
{
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = list_row_count(list);
    row.pszText = const_cast<wchar_t*>(text.c_str()); // the list copies it
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

namespace {

// Copies at most text.size() - 1 characters of one cell into `text`; the count copied.
std::size_t copy_cell(HWND list, int row, int column, std::wstring& text)
{
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = &text[0];
    cell.cchTextMax = static_cast<int>(text.size());
    const auto copied = static_cast<std::size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)));
    return std::min(copied, text.size() - 1);
}

} // namespace

std::wstring list_cell_text(HWND list, int row, int column)
{
    // A full buffer may mean a longer text: try again with twice the room.
    for (std::size_t capacity = 256;; capacity *= 2) {
        std::wstring text(capacity, L'\0');
        const std::size_t length = copy_cell(list, row, column, text);
        if (length + 1 < capacity || capacity >= (std::size_t{1} << 20)) {
            text.resize(length);
            return text;
        }
    }
}

void list_set_cell(HWND list, int row, int column, const std::wstring& text)
{
    // Room for one character more than `text` tells a longer cell from an equal one.
    std::wstring present(text.size() + 2, L'\0');
    present.resize(copy_cell(list, row, column, present));
    if (present == text)
        return;
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<wchar_t*>(text.c_str()); // the list copies it
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

int list_row_count(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

list_redraw_off::list_redraw_off(HWND list)
    : list_(list), was_visible_((GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0)
{
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
}

list_redraw_off::~list_redraw_off()
{
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    if (!was_visible_)
        ShowWindow(list_, SW_HIDE);
}
