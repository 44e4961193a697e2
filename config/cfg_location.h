// Where debug.cfg lives: LOCALAPPDATA \ OEM folder \ config \ debug.cfg.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t oem_folder_count = 7;
// In combo-box order; index 0 is the folder every start begins with.
extern const wchar_t* const oem_folder_names[oem_folder_count];

// LOCALAPPDATA (narrow, ANSI code page) + "\VeltaScan\" + "\config\debug.cfg", not
// normalised: the doubled backslash stays.
std::wstring initial_cfg_path();

// The debug.cfg path of another OEM folder beside the current one, tidied.
std::wstring cfg_path_for_oem(const std::wstring& current_path, const std::wstring& oem_name);

// The OEM folder of a configuration path (two parent steps), never ending in "\".
std::wstring oem_base_folder(const std::wstring& cfg_path);
