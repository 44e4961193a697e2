// The main window: a tab control over two pages ("错误信息", "高级配置") and the
// "退出" button. Every way of closing it ends the message loop with exit code 0.
#pragma once

#include "dialogs/dlg_base.h"

#include <cstdint>

// The main window's title; also how scripts and tests find the running program.
inline constexpr wchar_t main_window_title[] = L"扫描仪错误信息及高级调试配置";

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

    HWND tab_ctrl = nullptr;
};
