// The "错误信息" page: a read-only list of every error code with its decimal and
// hexadecimal forms and its description, filled once when the page is created.
#pragma once

#include "dialogs/dlg_base.h"

#include <cstdint>

class dlg_err_msg : public dlg_base {
public:
    explicit dlg_err_msg(HWND parent);

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    // Appends every row of error_table, in table order.
    void fill_error_list();
    // Appends one row: its number (one more than the rows present), the code text
    // and the UTF-8 message converted to wide text.
    void add_error_row(std::int32_t code, const char* message);

    HWND list_ctrl = nullptr;

private:
    void init_page();
};
