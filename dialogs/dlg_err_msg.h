// The "错误信息" page: a read-only list of every error code with its decimal and
// hexadecimal forms and its description, filled once when the page is created. Its
// selected rows can be copied (Ctrl+C, or the list's menu) for pasting into a ticket, and
// typing a code into the list selects the code's row.
#pragma once

#include "dialogs/dlg_base.h"

#include <cstdint>
#include <string>

class dlg_err_msg : public dlg_base {
public:
    explicit dlg_err_msg(HWND parent);

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    // Appends every row of error_table, in table order.
    void fill_error_list();
    // Appends one row: its number (one more than the rows present), the code text
    // and the UTF-8 message converted to wide text.
    void add_error_row(std::int32_t code, const char* message);

    // Puts the selected rows on the clipboard, one line each with its cells as shown,
    // tab-separated; with none selected the clipboard keeps what it has.
    void copy_selected_rows();
    void select_all_rows();

    // A character typed into the list at `time` (its message time, in milliseconds): it
    // extends the code typed so far, or begins a new one after a pause or where the longer
    // code would fit no row, and that code's row is selected. A character that fits no
    // code only beeps. Whether the character was taken: control characters and the space
    // are left to the list.
    bool on_list_char(wchar_t key, DWORD time);

    HWND list_ctrl = nullptr;

private:
    void init_page();
    void on_list_key(WORD key);
    // `where` is WM_CONTEXTMENU's point: on the screen, or -1, -1 from the keyboard.
    void show_row_menu(LPARAM where);
    POINT keyboard_menu_point() const;
    void select_found_row(int row);

    std::wstring typed_code;
    DWORD last_key_time = 0;
};
