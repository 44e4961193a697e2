#include "support/tab_separated_text.h"

std::wstring tab_separated_text(const std::vector<text_row>& rows)
{
    std::wstring text;
    for (const text_row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += L'\t';
            text += row[i];
        }
        text += L"\r\n";
    }
    return text;
}
