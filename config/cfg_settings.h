// Reading and writing the settings of debug.cfg, one key at a time through the
// Windows profile functions, always with the configuration path as file name.
#pragma once

#include "config/cfg_keys.h"
#include "config/read_eof.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The page's view of debug.cfg, in load order, at the values the page starts with.
struct cfg_settings {
    std::wstring log_type = cfg::default_log_type;
    std::wstring log_level = cfg::default_log_level;
    std::wstring log_path;
    std::int32_t twain_level = cfg::default_twain_level;
    bool log_all_triple = cfg::default_log_all_triple == 1;
    std::wstring final_img;
    bool dump_usb = cfg::default_dump_usb == 1;
    std::wstring usb_path;
    std::vector<read_eof_item> read_eof;
    std::int32_t max_img = cfg::default_max_img;
    std::int32_t notify_close = cfg::default_notify_close;
    bool cpu_advanced = cfg::default_cpu_advanced == 1;
};

// A text value read whole, up to the 65,534 characters that a buffer of the largest size
// Windows takes can hold; `fallback` when the key is absent.
std::wstring read_cfg_string(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback);
std::int32_t read_cfg_int(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                          std::int32_t fallback);

// Every key read of a load, in load order, with the derived defaults (log path,
// image folder, dump folder). Leaves `read_eof` alone.
void load_cfg_keys(const std::wstring& cfg_path, cfg_settings& settings);

// How every control writes debug.cfg: one key, exactly as given. Refused
// (nothing written, false) when the write rule says no (config/write_rule.h); false
// also when the profile function fails.
bool write_cfg_value(const std::wstring& cfg_path, const wchar_t* section, const std::wstring& key,
                     const std::wstring& value);

// The other way, for the content box: the whole file at once, replacing it in one step
// (support/file_save.h). Returns 0, or the Windows error code of the failure.
std::uint32_t replace_cfg_file(const std::wstring& cfg_path, const std::string& bytes);

// Number boxes show a stored number unsigned, so that text and file are a fixed point:
// digits that fit 32 unsigned bits (leading zeros aside) are stored as that number's
// signed 32-bit value; anything else is read as the C runtime's _wtoi reads it.
std::int32_t number_from_box_text(const std::wstring& text);
// What a number box shows for a stored number (unsigned decimal).
std::wstring number_box_text(std::int32_t number);

// The item a list shows for a stored token: exact comparison; anything else is item 0.
std::size_t choice_index(const cfg::choice_list& choices, const std::wstring& token);
// The item a list of numbered items shows for a stored number: the item of that index;
// numbers outside the items show item 0.
std::size_t choice_index(const cfg::choice_list& choices, std::int32_t value);
