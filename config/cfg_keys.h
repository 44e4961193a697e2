// Every section, key, token and default of debug.cfg, defined once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cfg {

// Sections
inline constexpr wchar_t section_log[] = L"log";
inline constexpr wchar_t section_twain_app[] = L"twain-app";
inline constexpr wchar_t section_paths[] = L"paths";
inline constexpr wchar_t section_dump[] = L"dump";
inline constexpr wchar_t section_mem[] = L"mem";
inline constexpr wchar_t section_cpu[] = L"cpu";
inline constexpr wchar_t section_read_eof[] = L"read_eof";
// The same section name as the INI reader sees it (bytes).
inline constexpr char section_read_eof_bytes[] = "read_eof";

// Keys
inline constexpr wchar_t key_log_type[] = L"type";
inline constexpr wchar_t key_log_level[] = L"level";
inline constexpr wchar_t key_log_path[] = L"path";
inline constexpr wchar_t key_twain_level[] = L"twain-level";
inline constexpr wchar_t key_log_all_triple[] = L"log-all-triple";
inline constexpr wchar_t key_notify_close[] = L"notify-close";
inline constexpr wchar_t key_final_img[] = L"final_img";
inline constexpr wchar_t key_dump_usb[] = L"dumpusb";
inline constexpr wchar_t key_usb_path[] = L"usb_path";
inline constexpr wchar_t key_max_img[] = L"max_img";
inline constexpr wchar_t key_cpu_advanced[] = L"advanced";

// On/off values
inline constexpr wchar_t value_on[] = L"1";
inline constexpr wchar_t value_off[] = L"0";

// Defaults for absent keys
inline constexpr wchar_t default_log_type[] = L"file";
inline constexpr wchar_t default_log_level[] = L"all";
// Empty text stands for the derived defaults below (usb_path: the image folder as loaded).
inline constexpr wchar_t default_log_path[] = L"";
inline constexpr wchar_t default_final_img[] = L"";
inline constexpr wchar_t default_usb_path[] = L"";
inline constexpr std::int32_t default_twain_level = 1;
inline constexpr std::int32_t default_log_all_triple = 0;
inline constexpr std::int32_t default_notify_close = 0;
inline constexpr std::int32_t default_dump_usb = 0;
inline constexpr std::int32_t default_max_img = 1000;
inline constexpr std::int32_t default_cpu_advanced = 1;

// Derived defaults, appended to the OEM folder
inline constexpr wchar_t derived_log_path_tail[] = L"\\log\\%APPNAME%.log";
inline constexpr wchar_t derived_final_img_tail[] = L"\\imgs\\";

// The enumerated keys: token written for each combo index, and the item's label.
struct choice {
    const wchar_t* token;
    const wchar_t* label;
};

inline constexpr choice log_type_choices[] = {
    {L"none", L"不输出日志"},
    {L"console", L"输出到控制台"},
    {L"file", L"输出到文件"},
};
inline constexpr std::size_t log_type_file_index = 2;

inline constexpr choice log_level_choices[] = {
    {L"all", L"所有日志"},
    {L"debug", L"调试信息及以上"},
    {L"warning", L"警告信息及以上"},
    {L"fatal", L"致命错误及以上"},
};

inline constexpr choice notify_close_choices[] = {
    {L"0", L"自动模式"},
    {L"1", L"直接调用"},
    {L"2", L"eventProcess调用"},
};

// The items of one drop-down list, in list order.
struct choice_list {
    const choice* items = nullptr;
    std::size_t count = 0;
};

template <std::size_t count>
constexpr choice_list choices_of(const choice (&items)[count])
{
    return {items, count};
}

inline constexpr choice_list log_types = choices_of(log_type_choices);
inline constexpr choice_list log_levels = choices_of(log_level_choices);
inline constexpr choice_list notify_close_modes = choices_of(notify_close_choices);

} // namespace cfg
