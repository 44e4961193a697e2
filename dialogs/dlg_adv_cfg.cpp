#include "dialogs/dlg_adv_cfg.h"

#include "config/cfg_keys.h"
#include "config/cfg_location.h"
#include "config/read_eof.h"
#include "config/read_eof_text.h"
#include "dialogs/adv_cfg_controls.h"
#include "dialogs/combo_box.h"
#include "dialogs/dpi_scale.h"
#include "dialogs/list_view.h"
#include "resources/resource.h"
#include "support/text_format.h"

#include <commctrl.h>

#include <vector>

namespace {

// The items are the table's, filled at the first refresh (nothing else adds or removes
// any); every refresh selects the item for the file's value.
void fill_choice_combo(HWND combo, const cfg::choice_list& choices, std::size_t selected)
{
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) == 0) {
        for (std::size_t i = 0; i < choices.count; ++i)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choices.items[i].label));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool is_checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring window_text(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// Shows `value` in a box as the file's state: not edited by the user. A box already
// showing it is left alone, as a multi-line box takes milliseconds to take a long
// text again.
void show_text(HWND page, int id, const std::wstring& value)
{
    HWND box = GetDlgItem(page, id);
    if (window_text(box) != value)
        SetWindowTextW(box, value.c_str());
    else
        SendMessageW(box, EM_SETMODIFY, FALSE, 0);
}

// The OEM list back on the folder of the file shown.
void select_oem_shown(HWND combo, const std::wstring& path)
{
    const std::wstring folder = oem_base_folder(path);
    const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
    const LRESULT item = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

bool is_box(const page_control& control)
{
    return control.kind == control_kind::text || control.kind == control_kind::number;
}

} // namespace

dlg_adv_cfg::dlg_adv_cfg(HWND parent_window) : dlg_base(IDD_ADV_CFG, parent_window) {}

INT_PTR dlg_adv_cfg::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG) {
        init_page();
        UpdateWindow(hwnd);
        return 1;
    }
    if (message != WM_COMMAND)
        return message == WM_NOTIFY ? 1 : 0;
    HWND control = reinterpret_cast<HWND>(lparam);
    switch (HIWORD(wparam)) {
    case EN_KILLFOCUS:
        on_edit_kill_focus(control);
        break;
    case CBN_SELCHANGE:
        on_combo_sel_change(control);
        break;
    case BN_CLICKED:
        on_button_clicked(control, LOWORD(wparam));
        break;
    default:
        break;
    }
    return 1;
}

void dlg_adv_cfg::init_page()
{
    const std::wstring path = initial_cfg_path();

    HWND list = GetDlgItem(hwnd, IDC_READ_EOF_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    list_add_column(list, 0, L"进程名称", scale_for_dpi(hwnd, 100));
    list_add_column(list, 1, L"EOF", scale_for_dpi(hwnd, 40));

    // The default typing limit of 32767 characters would stop a user from editing a long
    // process list.
    SendDlgItemMessageW(hwnd, IDC_READ_EOF_TEXT, EM_SETLIMITTEXT, 0, 0);
    content.attach(hwnd);

    SetDlgItemTextW(hwnd, IDC_CFG_PATH, path.c_str());
    fill_oem_combo();
    refresh_controls();
    for (int id : {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE, IDC_OEM})
        fit_dropped_width(GetDlgItem(hwnd, id));
}

void dlg_adv_cfg::fill_oem_combo()
{
    HWND combo = GetDlgItem(hwnd, IDC_OEM);
    for (const wchar_t* name : oem_folder_names)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

std::wstring dlg_adv_cfg::cfg_path() const { return get_item_text(IDC_CFG_PATH); }

void dlg_adv_cfg::write_and_refresh(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                                    const std::wstring& value)
{
    write_cfg_value(path, section, key, value);
    refresh_controls();
}

void dlg_adv_cfg::on_edit_kill_focus(HWND control)
{
    // A box the user did not edit writes nothing: the focus merely passed through it, and
    // the file may have been changed by another program since the page showed it.
    if (!SendMessageW(control, EM_GETMODIFY, 0, 0))
        return;
    const std::wstring path = cfg_path();
    const int id = GetDlgCtrlID(control);
    if (id == IDC_READ_EOF_TEXT) {
        write_read_eof_text(path);
        return;
    }
    const page_control* box = page_control_of(id);
    if (!box || !is_box(*box))
        return;

    // Edited back to what the page shows for the file as it is now: nothing to write.
    cfg_settings now;
    load_cfg_keys(path, now);
    const std::wstring text = get_item_text(id);
    if (text == shown_text(*box, now) || (box->never_percent && text.find(L'%') != std::wstring::npos))
        return;
    write_and_refresh(path, box->section, box->key,
                      box->kind == control_kind::number ? decimal_text(number_from_box_text(text)) : text);
}

void dlg_adv_cfg::write_read_eof_text(const std::wstring& path)
{
    // Only lines the user added or changed since the page filled the box, and only where
    // the file does not hold them already: rewriting an untouched line could undo another
    // program's change, flip a duplicate key or copy a second section's keys into the first.
    std::vector<read_eof_item> now;
    read_eof_list(path, now);
    const auto writes =
        changed_read_eof_writes(get_item_text(IDC_READ_EOF_TEXT), read_eof_shown, read_eof_text(now));
    // A line whose key the writer refuses writes nothing; the refresh then shows the
    // file's list again.
    for (const auto& [key, value] : writes)
        write_cfg_value(path, cfg::section_read_eof, key, value);
    if (!writes.empty())
        refresh_controls();
}

void dlg_adv_cfg::on_combo_sel_change(HWND control)
{
    const std::wstring path = cfg_path();
    const LRESULT selection = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return;
    const auto index = static_cast<std::size_t>(selection);
    const int id = GetDlgCtrlID(control);
    if (id == IDC_OEM) {
        if (!content.may_leave(path)) {
            select_oem_shown(control, path);
            return;
        }
        // Moves the page to another OEM's file; nothing is written.
        SetDlgItemTextW(hwnd, IDC_CFG_PATH, cfg_path_for_oem(path, combo_item_text(control, index)).c_str());
        refresh_controls();
        return;
    }
    const page_control* list = page_control_of(id);
    if (!list || list->kind != control_kind::choice || index >= list->choices.count)
        return;

    // The item the page shows for the file as it is now needs no write.
    cfg_settings now;
    load_cfg_keys(path, now);
    if (index != shown_item(*list, now))
        write_and_refresh(path, list->section, list->key, list->choices.items[index].token);
    // By what the list shows now, so a failed write leaves it and the box agreeing.
    if (list->enables != 0)
        EnableWindow(GetDlgItem(hwnd, list->enables),
                     SendMessageW(control, CB_GETCURSEL, 0, 0) == static_cast<LRESULT>(list->on_item));
}

void dlg_adv_cfg::on_button_clicked(HWND control, int id)
{
    if (id == IDC_WRITE) {
        if (content.edited() && content.write(cfg_path()))
            refresh_controls();
        return;
    }
    const page_control* box = page_control_of(id);
    if (!box || box->kind != control_kind::check)
        return;
    const std::wstring path = cfg_path();
    const bool on = is_checked(control);
    cfg_settings now;
    load_cfg_keys(path, now);
    // A state the file already has (another program set it meanwhile) needs no write.
    if (on != shown_check(*box, now))
        write_and_refresh(path, box->section, box->key, on ? cfg::value_on : cfg::value_off);
    if (box->enables != 0)
        EnableWindow(GetDlgItem(hwnd, box->enables), is_checked(control));
}

void dlg_adv_cfg::refresh_controls()
{
    load_settings(cfg_path());

    for (const page_control& control : page_controls()) {
        HWND window = GetDlgItem(hwnd, control.id);
        switch (control.kind) {
        case control_kind::choice: {
            const std::size_t item = shown_item(control, settings);
            // An out-of-range number is shown as item 0; the file keeps it until the user picks.
            if (const auto* number = std::get_if<std::int32_t cfg_settings::*>(&control.shows))
                settings.**number = static_cast<std::int32_t>(item);
            fill_choice_combo(window, control.choices, item);
            break;
        }
        case control_kind::check:
            CheckDlgButton(hwnd, control.id, shown_check(control, settings) ? BST_CHECKED : BST_UNCHECKED);
            // The box a check box enables follows the file; the one a list enables (the log
            // path box) is left as the user's last choice in the list set it.
            if (control.enables != 0)
                EnableWindow(GetDlgItem(hwnd, control.enables), shown_check(control, settings));
            break;
        case control_kind::text:
        case control_kind::number:
            // Numbers are shown unsigned, so a stored -1 appears as 4294967295.
            show_text(hwnd, control.id, shown_text(control, settings));
            break;
        }
    }

    fill_read_eof_list();
    read_eof_shown = read_eof_text(settings.read_eof);
    show_text(hwnd, IDC_READ_EOF_TEXT, read_eof_shown);
}

void dlg_adv_cfg::fill_read_eof_list()
{
    HWND list = GetDlgItem(hwnd, IDC_READ_EOF_LIST);
    const auto wanted = static_cast<int>(settings.read_eof.size());
    int present = list_row_count(list);
    // Thousands of rows are possible. The rows are rewritten in place instead of being
    // deleted and inserted again: the list ends the same, but unchanged rows cost
    // nothing, and nothing is repainted per row.
    const list_redraw_off quiet(list);
    if (wanted == 0 && present > 0) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        present = 0;
    }
    while (present > wanted)
        SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(--present), 0);
    if (wanted > present)
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(wanted), LVSICF_NOINVALIDATEALL);
    const std::wstring on = L"true", off = L"false";
    for (int row = 0; row < wanted; ++row) {
        const read_eof_item& entry = settings.read_eof[static_cast<std::size_t>(row)];
        if (row < present)
            list_set_cell(list, row, 0, entry.name);
        else
            list_append_row(list, entry.name);
        list_set_cell(list, row, 1, entry.enabled ? on : off);
    }
}

void dlg_adv_cfg::load_settings(const std::wstring& path)
{
    load_cfg_keys(path, settings);
    read_eof_list(path, settings.read_eof);
    content.show_file(path);
}

bool dlg_adv_cfg::has_unwritten_text() const { return content.edited(); }

bool dlg_adv_cfg::may_leave_file() { return content.may_leave(cfg_path()); }
