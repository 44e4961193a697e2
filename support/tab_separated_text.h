// Rows of cells as plain text, the form a spreadsheet, a mail or a ticket takes when pasted.
#pragma once

#include <string>
#include <vector>

using text_row = std::vector<std::wstring>;

// Each row's cells joined by a tab, each row ending in CR LF (the clipboard's line end);
// no rows give an empty text.
std::wstring tab_separated_text(const std::vector<text_row>& rows);
