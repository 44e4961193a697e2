#include "dialogs/dlg_err_msg.h"

#include "dialogs/dpi_scale.h"
#include "dialogs/error_table.h"
#include "resources/resource.h"
#include "support/text_convert.h"
#include "support/text_format.h"

#include <commctrl.h>

#include <string>

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

void set_cell_text(HWND list, int row, int column, const std::wstring& text)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace

dlg_err_msg::dlg_err_msg(HWND parent_window) : dlg_base(IDD_ERR_MSG, parent_window) {}

INT_PTR dlg_err_msg::handle_message(UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        init_page();
        return 1;
    case WM_NOTIFY:
    case WM_COMMAND:
        // The list is a reference only: no notification or command has an effect.
        return 1;
    default:
        return 0;
    }
}

void dlg_err_msg::init_page()
{
    list_ctrl = GetDlgItem(hwnd, IDC_ERR_LIST);
    SendMessageW(list_ctrl, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    int position = 0;
    for (const column_def& def : error_columns) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT;
        column.cx = scale_for_dpi(list_ctrl, def.width_at_96_dpi);
        column.pszText = const_cast<wchar_t*>(def.title);
        SendMessageW(list_ctrl, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position++),
                     reinterpret_cast<LPARAM>(&column));
    }

    fill_error_list();
    UpdateWindow(hwnd);
}

void dlg_err_msg::fill_error_list()
{
    // With drawing on, every insertion makes the list re-measure and invalidate itself:
    // filling the 53 rows that way was the largest part of the program's own start-up.
    // Turning drawing back on also sets WS_VISIBLE, which the template gives the list.
    SendMessageW(list_ctrl, WM_SETREDRAW, FALSE, 0);
    for (const error_entry& entry : error_table)
        add_error_row(entry.code, entry.message);
    SendMessageW(list_ctrl, WM_SETREDRAW, TRUE, 0);
}

void dlg_err_msg::add_error_row(std::int32_t code, const char* message)
{
    const auto count = static_cast<std::int32_t>(SendMessageW(list_ctrl, LVM_GETITEMCOUNT, 0, 0));
    const std::wstring number = decimal_text(count + 1);

    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = count;
    item.pszText = const_cast<wchar_t*>(number.c_str());
    const auto row = static_cast<int>(SendMessageW(list_ctrl, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    // A refused row has no cells to fill; -1 must not reach LVM_SETITEMTEXTW.
    if (row < 0)
        return;

    wchar_t code_text[80] = {};
    format_text(code_text, 79, L"%05d   -   0x%04X", code, code);
    set_cell_text(list_ctrl, row, 1, code_text);
    set_cell_text(list_ctrl, row, 2, multibyte_to_wide(message, CP_UTF8));
}
