// The read_eof list as the editable text of the page: "[read_eof]" CR LF, then one
// "name=1" or "name=0" line per entry, each ended by CR LF.
#pragma once

#include "config/read_eof.h"

#include <string>
#include <utility>
#include <vector>

inline constexpr wchar_t read_eof_text_header[] = L"[read_eof]\r\n";

std::wstring read_eof_text(const std::vector<read_eof_item>& items);

// Key writes, in line order: (key, "1" or "0").
using read_eof_writes = std::vector<std::pair<std::wstring, std::wstring>>;

// The key writes that the lines of `text` after its header line ask for, for the lines
// the user added or changed that the file does not hold: lines that neither `shown` (the
// text the page last put into the box) nor `now` (the text of the file's list as it is
// now) accounts for, each of their lines accounting for one equal line. So passing
// through the box writes nothing, and a line the user never touched cannot undo another
// program's change. Lines without "=" write nothing. Empty when `text` has no header.
read_eof_writes changed_read_eof_writes(const std::wstring& text, const std::wstring& shown,
                                        const std::wstring& now);
