// The read_eof list as the editable text of the page: "[read_eof]" CR LF, then one
// "name=1" or "name=0" line per entry, each ended by CR LF.
#pragma once

#include "config/read_eof.h"

#include <string>
#include <utility>
#include <vector>

inline constexpr wchar_t read_eof_text_header[] = L"[read_eof]\r\n";

std::wstring read_eof_text(const std::vector<read_eof_item>& items);

// The key writes that the text asks for, in line order: (key, "1" or "0"). Empty when
// the header line is missing or no line holds "=".
std::vector<std::pair<std::wstring, std::wstring>> parse_read_eof_text(const std::wstring& text);
