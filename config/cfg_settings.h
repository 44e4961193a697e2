// Reading and writing the settings of debug.cfg, one key at a time through the
// Windows profile functions, always with the configuration path as file name.
#pragma once

#include "config/read_eof.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The page's view of debug.cfg, in load order, at the values the page starts with.
struct cfg_settings {
    std::wstring log_type = L"file";
    std::wstring log_level = L"all";
    std::wstring log_path;
    std::int32_t twain_level = 1;
    bool log_all_triple = false;
    std::wstring final_img;
    bool dump_usb = false;
    std::wstring usb_path;
    std::vector<read_eof_item> read_eof;
    std::int32_t max_img = 1000;
    std::int32_t notify_close = 0;
    bool cpu_advanced = true;
};

// A text value read whole (never cut, however long); `fallback` when the key is absent.
std::wstring read_cfg_string(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback);
std::int32_t read_cfg_int(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                          std::int32_t fallback);

// Every key read of a load, in load order, with the derived defaults (log path,
// image folder, dump folder). Leaves `read_eof` alone.
void load_cfg_keys(const std::wstring& cfg_path, cfg_settings& settings);

// True when `section`, `key` and `value` may be written: no CR or LF anywhere, and a
// key that is not empty and does not start with "[" after leading blanks.
bool cfg_write_allowed(const std::wstring& section, const std::wstring& key, const std::wstring& value);

// The one way the program writes debug.cfg: one key, exactly as given. Refused
// (nothing written, false) when cfg_write_allowed says no; false also when the
// profile function fails.
bool write_cfg_value(const std::wstring& cfg_path, const wchar_t* section, const std::wstring& key,
                     const std::wstring& value);

// Combo index of a stored token: exact comparison; anything else is item 0.
std::size_t log_type_index(const std::wstring& token);
std::size_t log_level_index(const std::wstring& token);
// notify-close shown in its combo: values outside 0..2 show item 0.
std::size_t notify_close_index(std::int32_t value);
