// The "高级配置" page: shows debug.cfg of the selected OEM folder, writes each change
// at once as one key and reloads everything from the file.
//
// The page keeps no state between events but what it last showed in the process-list box
// and the content box: the text of the read-only path box is the only record of which
// file is shown, and every handler reads it first.
#pragma once

#include "config/cfg_settings.h"
#include "dialogs/content_box.h"
#include "dialogs/dlg_base.h"

#include <string>

class dlg_adv_cfg : public dlg_base {
public:
    explicit dlg_adv_cfg(HWND parent);

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override;

    // WM_INITDIALOG: the start path, the hidden list view, the OEM combo, the first load.
    void init_page();
    // The seven OEM folder names, item 0 selected.
    void fill_oem_combo();

    void on_edit_kill_focus(HWND control);
    void on_combo_sel_change(HWND control);
    void on_button_clicked(HWND control, int id);

    // Loads the file named by the path box and puts every value into its control.
    void refresh_controls();
    // Reads the file into `settings` and its text into the content box, unless the box
    // holds text the user has not written yet.
    void load_settings(const std::wstring& cfg_path);

    // True while the content box holds text the user has not written.
    bool has_unwritten_text() const;
    // Before the page's file is left (the program closes): asks whether to write that
    // text. False when the user chose to stay.
    bool may_leave_file();

    // The twelve settings, in the order the page loads them.
    cfg_settings settings;

private:
    // The text the page last put into box 1019: it tells which lines the user changed,
    // so that only those are written.
    std::wstring read_eof_shown;
    content_box content;

    std::wstring cfg_path() const;
    // Every write of the page: one key, then the whole page again from the file, so a
    // refused or failed write shows itself as the control returning to the file's value.
    void write_and_refresh(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                           const std::wstring& value);
    void write_read_eof_text(const std::wstring& path);
    void fill_read_eof_list();
};
