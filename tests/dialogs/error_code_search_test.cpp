// Finding a row from a code as a user types it: each case names the code whose row the
// reference table gives.
#include "dialogs/error_code_search.h"
#include "tests/common/reference_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

TEST(find_error_row, FindsTheFirstRowWhoseCodeBeginsWithTheText)
{
    constexpr int no_code = -1;
    const std::pair<const wchar_t*, int> cases[] = {
        // decimal, as shown and without the leading zeros; a prefix finds the first code
        {L"00257", 257}, {L"257", 257}, {L"0", 0}, {L"00000", 0}, {L"002", 256}, {L"25", 256},
        {L"2329", 23296}, {L"56842", 56842}, {L"5684", 56840},
        // decimal first: 0x5B00 comes earlier but 56832 fits too; where no decimal fits, hex
        {L"5", 56832}, {L"0101", 0x0101}, {L"101", 0x0101}, {L"11", 0x0110}, {L"1", 0x0100},
        // hexadecimal with and without "0x" and its zeros, either case
        {L"0xDE0A", 0xDE0A}, {L"0xde0a", 0xDE0A}, {L"0XdE0A", 0xDE0A}, {L"DE0A", 0xDE0A}, {L"de0a", 0xDE0A},
        {L"de0", 0xDE00}, {L"D", 0xDE00}, {L"5b02", 0x5B02}, {L"0x5", 0x5B00}, {L"0x101", 0x0101},
        {L"10a", 0x010A}, {L"0x0", 0}, {L"0x", 0},
        // no code
        {L"", no_code}, {L"a", no_code}, {L"de1a", no_code}, {L"56858", no_code}, {L"000000", no_code},
        {L"0xde0a0", no_code}, {L"de0g", no_code}, {L"x", no_code}, {L"00x1", no_code}, {L"0x0x", no_code},
        {L"25 ", no_code},
    };
    for (const auto& [typed, code] : cases) {
        const auto row = find_error_row(typed);
        const int expected_row = code == no_code ? 0 : row_of_code(code);
        EXPECT_EQ(row ? static_cast<int>(*row) + 1 : 0, expected_row) << testing::PrintToString(std::wstring(typed));
    }
}
