// Decimal text and bounded formatting.
#include "support/text_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <string>

namespace {

// The code column's format: decimal to five digits, hexadecimal to four.
const wchar_t code_format[] = L"%05d   -   0x%04X";

TEST(decimal_text, plain_digits)
{
    struct row {
        std::int32_t value;
        const wchar_t* text;
    };
    const row rows[] = {
        {0, L"0"},
        {-7, L"-7"},
        {53, L"53"},
        {1000000, L"1000000"}, // no grouping
        {INT32_MAX, L"2147483647"},
        {INT32_MIN, L"-2147483648"},
    };
    for (const row& r : rows) EXPECT_EQ(decimal_text(r.value), r.text) << r.value;
}

TEST(format_text, code_column)
{
    wchar_t buffer[80];
    EXPECT_EQ(format_text(buffer, 79, code_format, 56857, 56857), 18);
    EXPECT_EQ(std::wstring(buffer), L"56857   -   0xDE19");
    EXPECT_EQ(format_text(buffer, 79, code_format, 0, 0), 18);
    EXPECT_EQ(std::wstring(buffer), L"00000   -   0x0000");
    EXPECT_EQ(format_text(buffer, 79, code_format, 7, 255), 18);
    EXPECT_EQ(std::wstring(buffer), L"00007   -   0x00FF");
}

TEST(format_text, exact_fit_and_one_short)
{
    wchar_t buffer[19];
    EXPECT_EQ(format_text(buffer, 19, code_format, 56857, 56857), 18);
    EXPECT_EQ(std::wstring(buffer), L"56857   -   0xDE19");
    EXPECT_EQ(format_text(buffer, 18, code_format, 56857, 56857), -1);
    EXPECT_EQ(buffer[0], L'\0');
}

// Formats into `capacity` characters in the middle of a guarded area and checks that
// nothing outside the capacity changed.
class guarded_buffer {
public:
    static constexpr wchar_t guard = static_cast<wchar_t>(0xBEEF);
    guarded_buffer() { std::fill(std::begin(area_), std::end(area_), guard); }
    wchar_t* buffer() { return area_ + 4; }
    bool untouched_outside(std::size_t capacity) const
    {
        for (std::size_t i = 0; i < 4; ++i)
            if (area_[i] != guard) return false;
        for (std::size_t i = 4 + capacity; i < std::size(area_); ++i)
            if (area_[i] != guard) return false;
        return true;
    }

private:
    wchar_t area_[64];
};

TEST(format_text, overflow_is_minus_one_with_empty_buffer_and_no_write_past)
{
    for (std::size_t capacity : {1u, 2u, 10u, 17u, 18u}) {
        guarded_buffer g;
        EXPECT_EQ(format_text(g.buffer(), capacity, code_format, 56857, 56857), -1) << capacity;
        EXPECT_EQ(g.buffer()[0], L'\0') << capacity;
        EXPECT_TRUE(g.untouched_outside(capacity)) << capacity;
    }
    guarded_buffer g;
    EXPECT_EQ(format_text(g.buffer(), 20, L"%ls", L"a text far longer than twenty characters"), -1);
    EXPECT_EQ(g.buffer()[0], L'\0');
    EXPECT_TRUE(g.untouched_outside(20));
}

TEST(format_text, fitting_text_writes_only_text_and_terminator)
{
    guarded_buffer g;
    EXPECT_EQ(format_text(g.buffer(), 30, code_format, 1, 1), 18);
    EXPECT_EQ(std::wstring(g.buffer()), L"00001   -   0x0001");
    EXPECT_TRUE(g.untouched_outside(30));
}

TEST(format_text, zero_capacity_or_no_buffer_writes_nothing)
{
    guarded_buffer g;
    EXPECT_EQ(format_text(g.buffer(), 0, code_format, 1, 1), -1);
    EXPECT_TRUE(g.untouched_outside(0));
    EXPECT_EQ(format_text(nullptr, 10, code_format, 1, 1), -1);
}

TEST(format_text, no_format_is_minus_one_with_empty_buffer_and_an_empty_one_fits)
{
    guarded_buffer g;
    g.buffer()[0] = L'x';
    EXPECT_EQ(format_text(g.buffer(), 10, nullptr), -1);
    EXPECT_EQ(g.buffer()[0], L'\0');
    EXPECT_TRUE(g.untouched_outside(1));

    g.buffer()[0] = L'x';
    EXPECT_EQ(format_text(g.buffer(), 10, L""), 0);
    EXPECT_EQ(g.buffer()[0], L'\0');
    EXPECT_EQ(format_text(g.buffer(), 1, L""), 0); // the terminator alone fits in 1
}

} // namespace
