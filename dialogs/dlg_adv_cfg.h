// The "高级配置" page: shows debug.cfg of the selected OEM folder, writes each change
// at once as one key and reloads everything from the file.
#pragma once

#include "config/cfg_settings.h"
#include "dialogs/dlg_base.h"

class dlg_adv_cfg : public dlg_base {
public:
    explicit dlg_adv_cfg(HWND parent);

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    void init_page();
    void on_edit_kill_focus(HWND control);
    void on_combo_sel_change(HWND control);
    void on_button_clicked(HWND control, int id);
    void refresh_controls();
    void load_settings(const std::wstring& cfg_path);

    // The twelve settings, in the order the page loads them.
    cfg_settings settings;
};
