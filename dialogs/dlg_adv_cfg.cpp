#include "dialogs/dlg_adv_cfg.h"

#include "config/cfg_keys.h"
#include "config/cfg_location.h"
#include "config/file_text.h"
#include "config/read_eof.h"
#include "config/read_eof_text.h"
#include "dialogs/combo_width.h"
#include "dialogs/dpi_scale.h"
#include "resources/resource.h"
#include "support/text_format.h"

#include <commctrl.h>

#include <iterator>
#include <vector>

namespace {

void add_column(HWND list, int index, const wchar_t* title, int width)
{
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title); // the list view copies it
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

// The items are the table's, filled at the first refresh (nothing else adds or removes
// any); every refresh selects the item for the file's value.
template <std::size_t count>
void fill_choice_combo(HWND combo, const cfg::choice (&choices)[count], std::size_t selected)
{
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) == 0) {
        for (const cfg::choice& choice : choices)
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.label));
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// Sets one cell of the list unless it already holds `text`: rewriting a cell, even
// with the same text, sends the page a notification.
void set_list_cell(HWND list, int row, int column, const std::wstring& text, std::wstring& buffer)
{
    buffer.assign(text.size() + 2, L'\0');
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = &buffer[0];
    cell.cchTextMax = static_cast<int>(buffer.size());
    const LRESULT length =
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    if (static_cast<std::size_t>(length) == text.size() && text.compare(0, text.size(), cell.pszText, text.size()) == 0)
        return;
    cell.pszText = const_cast<wchar_t*>(text.c_str()); // the list view copies it
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

bool is_checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void set_check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

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

} // namespace

dlg_adv_cfg::dlg_adv_cfg(HWND parent_window) : dlg_base(IDD_ADV_CFG, parent_window) {}

INT_PTR dlg_adv_cfg::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        init_page();
        UpdateWindow(hwnd);
        return 1;
    case WM_COMMAND: {
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
    case WM_NOTIFY:
        return 1;
    default:
        return 0;
    }
}

void dlg_adv_cfg::init_page()
{
    const std::wstring path = initial_cfg_path();

    HWND list = GetDlgItem(hwnd, IDC_READ_EOF_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    add_column(list, 0, L"进程名称", scale_for_dpi(hwnd, 100));
    add_column(list, 1, L"EOF", scale_for_dpi(hwnd, 40));

    // The multi-line boxes show whole files; the default typing limit of 32767
    // characters would stop a user from editing a long process list.
    SendDlgItemMessageW(hwnd, IDC_CFG_CONTENT, EM_SETLIMITTEXT, 0, 0);
    SendDlgItemMessageW(hwnd, IDC_READ_EOF_TEXT, EM_SETLIMITTEXT, 0, 0);

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

    // Edited back to what the page shows for the file as it is now: nothing to write.
    cfg_settings now;
    load_cfg_keys(path, now);
    const std::wstring text = get_item_text(id);
    switch (id) {
    case IDC_LOG_PATH:
        // The derived default holds "%APPNAME%": such a text is never stored.
        if (text != now.log_path && text.find(L'%') == std::wstring::npos)
            write_and_refresh(path, cfg::section_log, cfg::key_log_path, text);
        break;
    case IDC_MAX_IMG:
        if (text != number_box_text(now.max_img))
            write_and_refresh(path, cfg::section_mem, cfg::key_max_img, decimal_text(number_from_box_text(text)));
        break;
    case IDC_USB_PATH:
        if (text != now.usb_path)
            write_and_refresh(path, cfg::section_dump, cfg::key_usb_path, text);
        break;
    case IDC_FINAL_IMG:
        if (text != now.final_img)
            write_and_refresh(path, cfg::section_paths, cfg::key_final_img, text);
        break;
    case IDC_TWAIN_LEVEL:
        if (text != number_box_text(now.twain_level))
            write_and_refresh(path, cfg::section_log, cfg::key_twain_level,
                              decimal_text(number_from_box_text(text)));
        break;
    default:
        break;
    }
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
        // Moves the page to another OEM's file; nothing is written.
        SetDlgItemTextW(hwnd, IDC_CFG_PATH, cfg_path_for_oem(path, combo_item_text(control, index)).c_str());
        refresh_controls();
        return;
    }

    // The item the page shows for the file as it is now needs no write.
    cfg_settings now;
    load_cfg_keys(path, now);
    switch (id) {
    case IDC_LOG_TYPE:
        if (index < std::size(cfg::log_type_choices)) {
            if (index != log_type_index(now.log_type))
                write_and_refresh(path, cfg::section_log, cfg::key_log_type, cfg::log_type_choices[index].token);
            // By what the combo shows now, so a failed write leaves box and combo agreeing.
            const LRESULT shown = SendMessageW(control, CB_GETCURSEL, 0, 0);
            EnableWindow(GetDlgItem(hwnd, IDC_LOG_PATH), shown == static_cast<LRESULT>(cfg::log_type_file_index));
        }
        break;
    case IDC_LOG_LEVEL:
        if (index < std::size(cfg::log_level_choices) && index != log_level_index(now.log_level))
            write_and_refresh(path, cfg::section_log, cfg::key_log_level, cfg::log_level_choices[index].token);
        break;
    case IDC_NOTIFY_CLOSE:
        if (index < std::size(cfg::notify_close_choices) && index != notify_close_index(now.notify_close))
            write_and_refresh(path, cfg::section_twain_app, cfg::key_notify_close,
                              cfg::notify_close_choices[index].token);
        break;
    default:
        break;
    }
}

void dlg_adv_cfg::on_button_clicked(HWND control, int id)
{
    // The check boxes and the key each one writes; "写入" has no action.
    static const struct {
        int id;
        const wchar_t* section;
        const wchar_t* key;
        bool cfg_settings::*shown;
    } check_boxes[] = {
        {IDC_CPU_ADVANCED, cfg::section_cpu, cfg::key_cpu_advanced, &cfg_settings::cpu_advanced},
        {IDC_DUMP_USB, cfg::section_dump, cfg::key_dump_usb, &cfg_settings::dump_usb},
        {IDC_LOG_ALL_TRIPLE, cfg::section_twain_app, cfg::key_log_all_triple, &cfg_settings::log_all_triple},
    };
    for (const auto& box : check_boxes) {
        if (box.id != id)
            continue;
        const std::wstring path = cfg_path();
        const bool on = is_checked(control);
        cfg_settings now;
        load_cfg_keys(path, now);
        // A state the file already has (another program set it meanwhile) needs no write.
        if (on != now.*box.shown)
            write_and_refresh(path, box.section, box.key, on ? cfg::value_on : cfg::value_off);
        if (id == IDC_DUMP_USB)
            EnableWindow(GetDlgItem(hwnd, IDC_USB_PATH), is_checked(control));
    }
}

void dlg_adv_cfg::refresh_controls()
{
    load_settings(cfg_path());

    fill_choice_combo(GetDlgItem(hwnd, IDC_LOG_TYPE), cfg::log_type_choices, log_type_index(settings.log_type));
    fill_choice_combo(GetDlgItem(hwnd, IDC_LOG_LEVEL), cfg::log_level_choices,
                      log_level_index(settings.log_level));
    // An out-of-range value is shown as item 0; the file keeps it until the user picks.
    settings.notify_close = static_cast<std::int32_t>(notify_close_index(settings.notify_close));
    fill_choice_combo(GetDlgItem(hwnd, IDC_NOTIFY_CLOSE), cfg::notify_close_choices,
                      static_cast<std::size_t>(settings.notify_close));

    // Numbers are shown unsigned, so a stored -1 appears as 4294967295.
    show_text(hwnd, IDC_TWAIN_LEVEL, number_box_text(settings.twain_level));
    set_check(hwnd, IDC_LOG_ALL_TRIPLE, settings.log_all_triple);
    set_check(hwnd, IDC_DUMP_USB, settings.dump_usb);
    EnableWindow(GetDlgItem(hwnd, IDC_USB_PATH), settings.dump_usb);

    show_text(hwnd, IDC_LOG_PATH, settings.log_path);
    show_text(hwnd, IDC_FINAL_IMG, settings.final_img);
    show_text(hwnd, IDC_USB_PATH, settings.usb_path);

    fill_read_eof_list();
    read_eof_shown = read_eof_text(settings.read_eof);
    show_text(hwnd, IDC_READ_EOF_TEXT, read_eof_shown);

    show_text(hwnd, IDC_MAX_IMG, number_box_text(settings.max_img));
    set_check(hwnd, IDC_CPU_ADVANCED, settings.cpu_advanced);
    // Whether the log path box is enabled is left as the last log-type choice set it.
}

void dlg_adv_cfg::fill_read_eof_list()
{
    HWND list = GetDlgItem(hwnd, IDC_READ_EOF_LIST);
    const auto wanted = static_cast<int>(settings.read_eof.size());
    auto present = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    // Thousands of rows are possible. The rows are rewritten in place instead of being
    // deleted and inserted again: the list ends the same, but unchanged rows cost
    // nothing, and nothing is repainted per row.
    const bool was_visible = (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    if (wanted == 0 && present > 0) {
        SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        present = 0;
    }
    while (present > wanted)
        SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(--present), 0);
    if (wanted > present)
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(wanted), LVSICF_NOINVALIDATEALL);
    const std::wstring on = L"true", off = L"false";
    std::wstring buffer;
    for (int row = 0; row < wanted; ++row) {
        const read_eof_item& entry = settings.read_eof[static_cast<std::size_t>(row)];
        if (row < present) {
            set_list_cell(list, row, 0, entry.name, buffer);
        } else {
            LVITEMW cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = row;
            cell.pszText = const_cast<wchar_t*>(entry.name.c_str()); // the list view copies it
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&cell));
        }
        set_list_cell(list, row, 1, entry.enabled ? on : off, buffer);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    if (!was_visible)
        ShowWindow(list, SW_HIDE); // turning redraw back on may set WS_VISIBLE
}

void dlg_adv_cfg::load_settings(const std::wstring& path)
{
    load_cfg_keys(path, settings);
    read_eof_list(path, settings.read_eof);
    show_text(hwnd, IDC_CFG_CONTENT, read_cfg_raw_text(path));
}
