// Placeholder until the page is built: a plain page on its template.
#include "dialogs/dlg_adv_cfg.h"

#include "resources/resource.h"

dlg_adv_cfg::dlg_adv_cfg(HWND parent_window) : dlg_base(IDD_ADV_CFG, parent_window) {}

INT_PTR dlg_adv_cfg::handle_message(UINT, WPARAM, LPARAM) { return 0; }
void dlg_adv_cfg::init_page() {}
void dlg_adv_cfg::on_edit_kill_focus(HWND) {}
void dlg_adv_cfg::on_combo_sel_change(HWND) {}
void dlg_adv_cfg::on_button_clicked(HWND, int) {}
void dlg_adv_cfg::refresh_controls() {}
void dlg_adv_cfg::load_settings(const std::wstring&) {}
