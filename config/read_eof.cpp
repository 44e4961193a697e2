#include "config/read_eof.h"

#include "config/cfg_keys.h"
#include "config/ini_model.h"
#include "support/text_convert.h"

#include <windows.h>

void read_eof_list(const std::wstring& cfg_path, std::vector<read_eof_item>& list)
{
    list.clear();

    // The reader opens a narrow path. A path the ANSI code page cannot express would
    // come back with substitutes (or best-fit look-alikes that name another file), so
    // such a path is not read at all.
    const std::string ansi_path = wide_to_ansi(cfg_path.c_str());
    if (multibyte_to_wide(ansi_path.c_str(), CP_ACP) != cfg_path)
        return;

    ini_model model;
    model.load(ansi_path.c_str());
    const ini_section* const section = model.find(cfg::section_read_eof_bytes);
    if (!section)
        return;

    for (const ini_entry& entry : section->entries)
        list.push_back(read_eof_item{entry.value == "1", multibyte_to_wide(entry.key.c_str(), CP_ACP)});
}
