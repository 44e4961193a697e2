#include "dialogs/adv_cfg_controls.h"

#include "resources/resource.h"

#include <iterator>

namespace {

const page_control controls[] = {
    {IDC_LOG_TYPE, cfg::section_log, cfg::key_log_type, control_kind::choice, &cfg_settings::log_type,
     cfg::log_types, IDC_LOG_PATH, cfg::log_type_file_index},
    {IDC_LOG_LEVEL, cfg::section_log, cfg::key_log_level, control_kind::choice, &cfg_settings::log_level,
     cfg::log_levels},
    {IDC_NOTIFY_CLOSE, cfg::section_twain_app, cfg::key_notify_close, control_kind::choice,
     &cfg_settings::notify_close, cfg::notify_close_modes},
    {IDC_TWAIN_LEVEL, cfg::section_log, cfg::key_twain_level, control_kind::number, &cfg_settings::twain_level},
    {IDC_LOG_ALL_TRIPLE, cfg::section_twain_app, cfg::key_log_all_triple, control_kind::check,
     &cfg_settings::log_all_triple},
    {IDC_DUMP_USB, cfg::section_dump, cfg::key_dump_usb, control_kind::check, &cfg_settings::dump_usb, {},
     IDC_USB_PATH},
    // The derived default log path holds "%APPNAME%": such a text is never stored.
    {IDC_LOG_PATH, cfg::section_log, cfg::key_log_path, control_kind::text, &cfg_settings::log_path, {}, 0, 0, true},
    {IDC_FINAL_IMG, cfg::section_paths, cfg::key_final_img, control_kind::text, &cfg_settings::final_img},
    {IDC_USB_PATH, cfg::section_dump, cfg::key_usb_path, control_kind::text, &cfg_settings::usb_path},
    {IDC_MAX_IMG, cfg::section_mem, cfg::key_max_img, control_kind::number, &cfg_settings::max_img},
    {IDC_CPU_ADVANCED, cfg::section_cpu, cfg::key_cpu_advanced, control_kind::check, &cfg_settings::cpu_advanced},
};

} // namespace

page_control_range page_controls() { return {std::begin(controls), std::end(controls)}; }

const page_control* page_control_of(int id)
{
    for (const page_control& control : controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

std::wstring shown_text(const page_control& control, const cfg_settings& settings)
{
    if (const auto* text = std::get_if<std::wstring cfg_settings::*>(&control.shows))
        return settings.**text;
    if (const auto* number = std::get_if<std::int32_t cfg_settings::*>(&control.shows))
        return number_box_text(settings.**number);
    return {};
}

std::size_t shown_item(const page_control& control, const cfg_settings& settings)
{
    if (const auto* token = std::get_if<std::wstring cfg_settings::*>(&control.shows))
        return choice_index(control.choices, settings.**token);
    return choice_index(control.choices, settings.*std::get<std::int32_t cfg_settings::*>(control.shows));
}

bool shown_check(const page_control& control, const cfg_settings& settings)
{
    const auto* on = std::get_if<bool cfg_settings::*>(&control.shows);
    return on && settings.**on;
}
