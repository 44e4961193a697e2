// The main window: a tab control over two pages ("错误信息", "高级配置") and the
// "退出" button. Every way of closing it ends the message loop with exit code 0.
#pragma once

#include "dialogs/dlg_base.h"
#include "dialogs/message_box.h"

#include <cstdint>

class dlg_adv_cfg;

// The module whose resources hold the dialog templates; set by the entry function
// (and by tests) before the main window is created.
extern HINSTANCE app_instance;

class dlg_main : public dlg_base {
public:
    dlg_main();

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    // Creates both pages, places them over the page area and gives each a tab; runs
    // once, from WM_INITDIALOG.
    void create_pages();
    // Shows the page of tab `index` and hides every other; the shown page, or null
    // when no tab has that index.
    dlg_base* select_page(std::int32_t index);
    // Moves a created page onto `area`, gives it the main window's font and adds its
    // tab. A page without a window gets no tab (false), so it can never be shown.
    bool install_page(dlg_base& page, const RECT& area, const wchar_t* label);

    // Whether the program may end: text typed into the configuration page and not
    // written is written or dropped first, as the user answers, or the program stays.
    bool may_close();

    HWND tab_ctrl = nullptr;

private:
    dlg_adv_cfg* config_page = nullptr;
    std::int32_t config_tab = -1;
};
