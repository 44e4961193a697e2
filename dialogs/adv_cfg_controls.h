// Which control of the configuration page shows which key of debug.cfg, and how: one
// row per control. The handlers and the refresh of the page all work from this table,
// so adding a setting is adding a row.
#pragma once

#include "config/cfg_settings.h"

#include <cstddef>
#include <string>
#include <variant>

enum class control_kind {
    text,   // an edit box holding the value as it is stored
    number, // an edit box showing a number unsigned
    choice, // a drop-down list of tokens
    check,  // a check box for "1" and "0"
};

// The setting a control shows: a text, a number or an on/off field of cfg_settings.
using setting_field =
    std::variant<std::wstring cfg_settings::*, std::int32_t cfg_settings::*, bool cfg_settings::*>;

struct page_control {
    int id;
    const wchar_t* section;
    const wchar_t* key;
    control_kind kind;
    setting_field shows;
    cfg::choice_list choices{}; // choice: the items, in list order
    int enables = 0;       // choice or check: the control enabled while this one is on
    std::size_t on_item = 0; // choice: the item that counts as on
    bool never_percent = false; // text: a text holding "%" is never stored
};

struct page_control_range {
    const page_control* first;
    const page_control* last;
    const page_control* begin() const { return first; }
    const page_control* end() const { return last; }
};

// Every control that writes one key, in the order the page shows them.
page_control_range page_controls();

// The row of control `id`, or null.
const page_control* page_control_of(int id);

// What a box shows for the settings: the text, or the number unsigned.
std::wstring shown_text(const page_control& control, const cfg_settings& settings);
// The item a list shows for the settings: the item of the stored token (exact match),
// or for a number the item of that index; item 0 for anything else. Only for rows of
// kind choice, which show a text or a number field.
std::size_t shown_item(const page_control& control, const cfg_settings& settings);
// What a check box shows for the settings.
bool shown_check(const page_control& control, const cfg_settings& settings);
