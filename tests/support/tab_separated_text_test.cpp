// Rows of cells as the text that is put on the clipboard.
#include "support/tab_separated_text.h"

#include <gtest/gtest.h>

TEST(tab_separated_text, cells_by_tabs_rows_by_crlf)
{
    const struct {
        const char* name;
        std::vector<text_row> rows;
        const wchar_t* text;
    } cases[] = {
        {"no rows", {}, L""},
        {"a row of the list", {{L"3", L"00257   -   0x0101", L"操作被取消"}}, L"3\t00257   -   0x0101\t操作被取消\r\n"},
        {"rows in their order", {{L"2", L"b"}, {L"1", L"a"}}, L"2\tb\r\n1\ta\r\n"},
        {"an empty cell keeps its place", {{L"", L"", L"x"}, {L"y", L""}}, L"\t\tx\r\ny\t\r\n"},
        {"one cell, no tab", {{L"x"}}, L"x\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tab_separated_text(c.rows), c.text) << c.name;
}
