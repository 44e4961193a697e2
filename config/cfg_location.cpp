#include "config/cfg_location.h"

#include "support/path_normalize.h"
#include "support/text_convert.h"

#include <cstdlib>

const wchar_t* const oem_folder_names[oem_folder_count] = {
    L"VeltaScan", L"MorvelScan", L"PestraScan", L"OrbiselScan", L"TalvenorScan", L"ZepScan", L"KavScan",
};

namespace {

constexpr char local_app_data_variable[] = "LOCALAPPDATA";
// Every start begins with the first OEM folder, whichever folders exist.
constexpr wchar_t initial_oem_segment[] = L"\\VeltaScan\\";
constexpr wchar_t cfg_file_tail[] = L"\\config\\debug.cfg";
constexpr wchar_t separator[] = L"\\";

} // namespace

std::wstring initial_cfg_path()
{
    // The narrow copy on purpose: it is what the driver sees, converted with the
    // ANSI code page. An unset variable counts as empty text.
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // getenv: the pointer is used at once, before any change
#endif
    const char* base = std::getenv(local_app_data_variable);
    // Not normalised: the doubled backslash before "config" stays, the file
    // functions treat it as one.
    return multibyte_to_wide(base, 0) + initial_oem_segment + cfg_file_tail;
}

std::wstring cfg_path_for_oem(const std::wstring& current_path, const std::wstring& oem_name)
{
    std::wstring base = current_path;
    // debug.cfg, config, the OEM folder: what is left is the local application-data folder.
    for (int step = 0; step < 3; ++step)
        parent_folder(base);
    return tidy_composed_path(base + separator + oem_name + cfg_file_tail);
}

std::wstring oem_base_folder(const std::wstring& cfg_path)
{
    std::wstring base = cfg_path;
    parent_folder(base);
    parent_folder(base);
    return base;
}
