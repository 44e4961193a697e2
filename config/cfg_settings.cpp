#include "config/cfg_settings.h"

#include "config/cfg_location.h"
#include "config/write_rule.h"
#include "support/file_save.h"
#include "support/path_normalize.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

// Where a text read starts; the buffer doubles until the value fits.
constexpr DWORD first_text_capacity = 256;
// Windows reads at most 65,535 characters of a value, and takes a size of 65,536 or more
// modulo 65,536 without an error: a larger buffer could read a long value as nothing.
constexpr DWORD last_text_capacity = 65535;

bool is_on(std::int32_t number) { return number == 1; }

} // namespace

std::wstring read_cfg_string(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                             const wchar_t* fallback)
{
    // The page writes a box back whenever the focus leaves it, so a value cut here
    // would be stored cut: read it whole. The function answers size - 1 when it cut.
    std::wstring buffer;
    for (DWORD capacity = first_text_capacity;; capacity = std::min(capacity * 2, last_text_capacity)) {
        buffer.assign(capacity, L'\0');
        const DWORD length =
            GetPrivateProfileStringW(section, key, fallback, buffer.data(), capacity, cfg_path.c_str());
        if (length + 1 < capacity || capacity == last_text_capacity) {
            buffer.resize(std::min(length, capacity - 1));
            return buffer;
        }
    }
}

std::int32_t read_cfg_int(const std::wstring& cfg_path, const wchar_t* section, const wchar_t* key,
                          std::int32_t fallback)
{
    // The function answers unsigned; negative numbers in the file come back intact.
    return static_cast<std::int32_t>(GetPrivateProfileIntW(section, key, fallback, cfg_path.c_str()));
}

void load_cfg_keys(const std::wstring& cfg_path, cfg_settings& settings)
{
    settings.log_type = read_cfg_string(cfg_path, cfg::section_log, cfg::key_log_type, cfg::default_log_type);
    settings.log_level = read_cfg_string(cfg_path, cfg::section_log, cfg::key_log_level, cfg::default_log_level);
    settings.log_path = read_cfg_string(cfg_path, cfg::section_log, cfg::key_log_path, cfg::default_log_path);
    if (settings.log_path.empty())
        settings.log_path = oem_base_folder(cfg_path) + cfg::derived_log_path_tail;

    settings.twain_level = read_cfg_int(cfg_path, cfg::section_log, cfg::key_twain_level, cfg::default_twain_level);
    settings.log_all_triple =
        is_on(read_cfg_int(cfg_path, cfg::section_twain_app, cfg::key_log_all_triple, cfg::default_log_all_triple));
    // Stored as read; only the combo box limits what it shows.
    settings.notify_close =
        read_cfg_int(cfg_path, cfg::section_twain_app, cfg::key_notify_close, cfg::default_notify_close);

    settings.final_img = read_cfg_string(cfg_path, cfg::section_paths, cfg::key_final_img, cfg::default_final_img);
    if (settings.final_img.empty())
        settings.final_img = tidy_composed_path(oem_base_folder(cfg_path) + cfg::derived_final_img_tail);

    settings.dump_usb = is_on(read_cfg_int(cfg_path, cfg::section_dump, cfg::key_dump_usb, cfg::default_dump_usb));
    settings.usb_path = read_cfg_string(cfg_path, cfg::section_dump, cfg::key_usb_path, cfg::default_usb_path);
    if (settings.usb_path.empty())
        settings.usb_path = settings.final_img;

    settings.max_img = read_cfg_int(cfg_path, cfg::section_mem, cfg::key_max_img, cfg::default_max_img);
    settings.cpu_advanced =
        is_on(read_cfg_int(cfg_path, cfg::section_cpu, cfg::key_cpu_advanced, cfg::default_cpu_advanced));
}

bool write_cfg_value(const std::wstring& cfg_path, const wchar_t* section, const std::wstring& key,
                     const std::wstring& value)
{
    if (section == nullptr || !write_allowed_to_file(cfg_path, section, key, value))
        return false;
    return WritePrivateProfileStringW(section, key.c_str(), value.c_str(), cfg_path.c_str()) != FALSE;
}

std::uint32_t replace_cfg_file(const std::wstring& cfg_path, const std::string& bytes)
{
    const DWORD error = save_whole_file(cfg_path, bytes);
    // The profile functions may keep a copy of the file they read last; the next read
    // must see the new bytes.
    if (error == 0)
        WritePrivateProfileStringW(nullptr, nullptr, nullptr, cfg_path.c_str());
    return error;
}

std::int32_t number_from_box_text(const std::wstring& text)
{
    // Digits that fit 32 unsigned bits are what the box shows for a stored number, the
    // negative ones included (4294967295 is -1): store them as that number, whatever
    // zeros lead them.
    constexpr std::uint64_t largest = 0xFFFFFFFFull;
    const bool digits =
        !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    const std::size_t significant = text.size() - std::min(text.find_first_not_of(L'0'), text.size());
    if (digits && significant <= 10) {
        std::uint64_t number = 0;
        for (wchar_t c : text)
            number = number * 10 + static_cast<std::uint64_t>(c - L'0');
        if (number <= largest)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    }
    return _wtoi(text.c_str());
}

std::wstring number_box_text(std::int32_t number)
{
    return std::to_wstring(static_cast<std::uint32_t>(number));
}

std::size_t choice_index(const cfg::choice_list& choices, const std::wstring& token)
{
    for (std::size_t i = 0; i < choices.count; ++i)
        if (token == choices.items[i].token)
            return i;
    return 0;
}

std::size_t choice_index(const cfg::choice_list& choices, std::int32_t value)
{
    return value >= 0 && static_cast<std::size_t>(value) < choices.count ? static_cast<std::size_t>(value) : 0;
}
