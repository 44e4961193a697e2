// Decimal text and bounded formatting.
#include "support/text_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

namespace {

// The code column's format: decimal to five digits, hexadecimal to four.
const wchar_t code_format[] = L"%05d   -   0x%04X";

TEST(decimal_text, plain_digits)
{
    const std::pair<std::int32_t, const wchar_t*> rows[] = {
        {0, L"0"}, {-7, L"-7"}, {53, L"53"}, {1000000, L"1000000"}, // no grouping
        {INT32_MAX, L"2147483647"}, {INT32_MIN, L"-2147483648"},
    };
    for (const auto& [value, text] : rows) EXPECT_EQ(decimal_text(value), text) << value;
}

// Formats into `capacity` characters in the middle of a guarded area and checks that
// nothing outside the capacity changed.
class guarded_buffer {
public:
    static constexpr wchar_t guard = static_cast<wchar_t>(0xBEEF);
    guarded_buffer() { std::fill(std::begin(area_), std::end(area_), guard); }
    wchar_t* buffer() { return area_ + 4; }
    // Up to the first NUL within the capacity (a missing terminator shows as guard characters).
    std::wstring text(std::size_t capacity) const
    {
        return {area_ + 4, std::find(area_ + 4, area_ + 4 + capacity, L'\0')};
    }
    bool untouched_outside(std::size_t capacity) const
    {
        const auto is_guard = [](wchar_t c) { return c == guard; };
        return std::all_of(area_, area_ + 4, is_guard) && std::all_of(area_ + 4 + capacity, std::end(area_), is_guard);
    }

private:
    wchar_t area_[96];
};

TEST(format_text, code_column_fits_or_is_minus_one_with_an_empty_buffer_and_nothing_written_past)
{
    const struct {
        std::size_t capacity;
        int decimal, hex;
        std::int32_t result;
        const wchar_t* text;
    } rows[] = {
        {79, 56857, 56857, 18, L"56857   -   0xDE19"}, {79, 0, 0, 18, L"00000   -   0x0000"},
        {79, 7, 255, 18, L"00007   -   0x00FF"}, {30, 1, 1, 18, L"00001   -   0x0001"},
        // The text and its terminator exactly; then too little room.
        {19, 56857, 56857, 18, L"56857   -   0xDE19"}, {18, 56857, 56857, -1, L""}, {17, 56857, 56857, -1, L""},
        {10, 56857, 56857, -1, L""}, {2, 56857, 56857, -1, L""}, {1, 56857, 56857, -1, L""},
    };
    for (const auto& r : rows) {
        guarded_buffer g;
        EXPECT_EQ(format_text(g.buffer(), r.capacity, code_format, r.decimal, r.hex), r.result) << r.capacity;
        EXPECT_EQ(g.text(r.capacity), r.text) << r.capacity;
        EXPECT_TRUE(g.untouched_outside(r.capacity)) << r.capacity;
    }
}

TEST(format_text, long_argument_zero_capacity_no_buffer_and_no_format)
{
    guarded_buffer g;
    EXPECT_EQ(format_text(g.buffer(), 20, L"%ls", L"a text far longer than twenty characters"), -1);
    EXPECT_EQ(g.buffer()[0], L'\0');
    EXPECT_TRUE(g.untouched_outside(20));

    guarded_buffer untouched;
    EXPECT_EQ(format_text(untouched.buffer(), 0, code_format, 1, 1), -1);
    EXPECT_TRUE(untouched.untouched_outside(0));
    EXPECT_EQ(format_text(nullptr, 10, code_format, 1, 1), -1);

    // No format: -1 with an empty buffer; an empty one fits, even in 1.
    guarded_buffer empty;
    empty.buffer()[0] = L'x';
    EXPECT_EQ(format_text(empty.buffer(), 10, nullptr), -1);
    EXPECT_EQ(empty.buffer()[0], L'\0');
    EXPECT_TRUE(empty.untouched_outside(1));
    empty.buffer()[0] = L'x';
    EXPECT_EQ(format_text(empty.buffer(), 10, L""), 0);
    EXPECT_EQ(empty.buffer()[0], L'\0');
    EXPECT_EQ(format_text(empty.buffer(), 1, L""), 0); // the terminator alone fits in 1
}

} // namespace
