// Code-page conversion and byte-order-mark decoding. Run under code pages 936 and
// 1252; rows whose result depends on the ANSI code page name the one they need first (0
// for any) and are passed over under the other.
#include "support/text_convert.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// 操作成功 in its three spellings.
const std::wstring chinese = L"\u64cd\u4f5c\u6210\u529f";
const std::string chinese_utf8 = "\xE6\x93\x8D\xE4\xBD\x9C\xE6\x88\x90\xE5\x8A\x9F";
const std::string chinese_gbk = "\xB2\xD9\xD7\xF7\xB3\xC9\xB9\xA6";
// The same GBK bytes read as Windows-1252 (all at or above A0, so Latin-1).
const std::wstring chinese_gbk_as_1252 = L"\u00B2\u00D9\u00D7\u00F7\u00B3\u00C9\u00B9\u00A6";

struct sink_call {
    const void* data;
    std::uint64_t length, total;
    std::int32_t kind;
    std::string bytes; // copied for text deliveries only
};

std::int32_t record(const void* data, std::uint64_t length, std::uint64_t total, std::int32_t kind, void* user)
{
    sink_call call{data, length, total, kind, {}};
    if (kind == sink_kind_text && length > 0) call.bytes.assign(static_cast<const char*>(data), length);
    static_cast<std::vector<sink_call>*>(user)->push_back(call);
    return 0;
}

std::vector<sink_call> decode(const std::string& bytes)
{
    std::vector<sink_call> calls;
    decode_text_bytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()), record, &calls);
    return calls;
}

// What the decoder delivers for `text`: its UTF-16LE units, no mark.
std::string delivered(const std::wstring& text) { return utf16_bytes(text, utf16::le, bom::without); }

// Expects exactly one text delivery and returns its bytes.
std::string single_text(const std::vector<sink_call>& calls)
{
    EXPECT_EQ(calls.size(), 1u);
    if (calls.size() != 1) return {};
    EXPECT_EQ(calls[0].kind, sink_kind_text);
    EXPECT_EQ(calls[0].length, calls[0].total);
    return calls[0].bytes;
}

TEST(multibyte_to_wide, listed_texts_and_invalid_bytes)
{
    const std::string long_text(10000, 'x');
    const struct {
        unsigned ansi_code_page;
        const char* text;
        unsigned code_page;
        std::wstring expected;
    } rows[] = {
        {0, nullptr, CP_UTF8, L""}, {0, nullptr, CP_ACP, L""}, {0, "", CP_UTF8, L""}, {0, "", CP_ACP, L""},
        {0, chinese_utf8.c_str(), CP_UTF8, chinese},
        // A one-byte key or value ("1", "0") is the commonest text of debug.cfg.
        {0, "1", CP_UTF8, L"1"}, {0, "=", CP_UTF8, L"="}, {0, "1", CP_ACP, L"1"}, {0, "=", CP_ACP, L"="},
        // Up to the first NUL.
        {0, "ab\0cd", CP_UTF8, L"ab"}, {0, "ab\0cd", CP_ACP, L"ab"},
        {0, long_text.c_str(), CP_ACP, std::wstring(10000, L'x')},
        {936, chinese_gbk.c_str(), CP_ACP, chinese},
        {1252, chinese_gbk.c_str(), CP_ACP, chinese_gbk_as_1252},
    };
    for (const auto& r : rows) {
        if (!runs_under(r.ansi_code_page)) continue;
        EXPECT_EQ(multibyte_to_wide(r.text, r.code_page), r.expected) << "row " << &r - rows;
    }

    // Converted without the strict flag: the bad byte is replaced, the rest survives.
    const std::wstring wide = multibyte_to_wide("a\xFF" "b", CP_UTF8);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[0], L'a');
    EXPECT_EQ(wide[2], L'b');
}

TEST(wide_to_ansi, listed_texts_and_the_way_back)
{
    const struct {
        unsigned ansi_code_page;
        const wchar_t* text;
        std::string expected;
    } rows[] = {
        {0, nullptr, ""}, {0, L"", ""}, {0, L"x", "x"}, {0, L"ab", "ab"}, {0, L"C:\\a", "C:\\a"},
        // Up to the first NUL, like every C string.
        {0, L"a\0b", "a"},
        {936, chinese.c_str(), chinese_gbk},
        {936, L"C:\\\u7528\u6237\\debug.cfg", "C:\\\xD3\xC3\xBB\xA7\\debug.cfg"},
        {1252, L"Caf\u00e9 \u00b2", "Caf\xE9 \xB2"},
    };
    for (const auto& r : rows) {
        if (!runs_under(r.ansi_code_page)) continue;
        EXPECT_EQ(wide_to_ansi(r.text), r.expected) << testing::PrintToString(r.expected);
    }

    // Back through multibyte_to_wide, the text is whole again.
    const std::wstring text = GetACP() == 936 ? L"C:\\\u6d4b\u8bd5\\x" : L"C:\\\u00e9t\u00e9\\x";
    EXPECT_EQ(multibyte_to_wide(wide_to_ansi(text.c_str()).c_str(), CP_ACP), text);
}

TEST(swap_utf16_bytes, swaps_each_unit_from_unaligned_bytes_and_none_is_empty)
{
    // One byte of padding so the units start at an odd address.
    const unsigned char bytes[] = {0x00, 0x4E, 0x2D, 0x00, 0x41, 0x12, 0x34};
    EXPECT_EQ(swap_utf16_bytes(bytes + 1, 3), std::wstring(L"\u4e2d\u0041\u1234"));
    EXPECT_EQ(swap_utf16_bytes(bytes, 0), L"");
    EXPECT_EQ(swap_utf16_bytes(nullptr, 2), L"");
}

TEST(multibyte_to_sink, missing_text_or_sink_is_87_without_a_call_else_size_bytes_in_one_delivery)
{
    std::vector<sink_call> calls;
    EXPECT_EQ(multibyte_to_sink(nullptr, 3, CP_ACP, record, &calls), status_invalid_parameter);
    EXPECT_EQ(multibyte_to_sink("abc", 3, CP_ACP, nullptr, &calls), status_invalid_parameter);
    EXPECT_TRUE(calls.empty());

    // Empty input is one empty delivery.
    EXPECT_EQ(multibyte_to_sink("abc", 0, CP_UTF8, record, &calls), 0);
    EXPECT_EQ(single_text(calls), "");
    // Exactly `size` bytes are converted, a NUL among them.
    calls.clear();
    EXPECT_EQ(multibyte_to_sink("a\0bXYZ", 3, CP_UTF8, record, &calls), 0);
    EXPECT_EQ(single_text(calls), delivered(std::wstring(L"a\0b", 3)));
}

TEST(multibyte_to_sink, delivery_is_terminated)
{
    // Sinks may read the delivery as a C string; both buffer sizes carry a terminator.
    for (std::size_t count : {5u, 254u, 255u, 600u}) {
        const std::string text(count, 'q');
        const auto check = [](const void* data, std::uint64_t length, std::uint64_t, std::int32_t,
                              void* user) -> std::int32_t {
            const auto* units = static_cast<const wchar_t*>(data);
            *static_cast<bool*>(user) = units[length / 2] == L'\0' && units[length / 2 - 1] == L'q';
            return 0;
        };
        bool terminated = false;
        multibyte_to_sink(text.data(), static_cast<std::uint32_t>(count), CP_ACP, check, &terminated);
        EXPECT_TRUE(terminated) << count << " characters";
    }
}

// ---- decode_text_bytes: every mark branch, including the sizes around the marks ------

TEST(decode_text_bytes, fewer_than_three_bytes_is_one_report_and_missing_arguments_do_not_crash)
{
    const std::string inputs[] = {std::string(), std::string("\xFF", 1), std::string("\xFF\xFE", 2),
                                  std::string("\xFE\xFF", 2), std::string("\xEF\xBB", 2), std::string("ab")};
    for (const std::string& input : inputs) {
        const auto calls = decode(input);
        ASSERT_EQ(calls.size(), 1u) << input.size() << " bytes";
        EXPECT_EQ(calls[0].kind, sink_kind_report);
        EXPECT_EQ(calls[0].length, report_text_too_short);
        EXPECT_EQ(calls[0].total, 0u);
        EXPECT_EQ(calls[0].data, static_cast<const void*>(input.data()));
    }

    std::vector<sink_call> calls;
    // Nothing to deliver to, from each branch that would call a sink.
    for (const std::string& input : {std::string(), std::string("ab"), std::string("\xFF\xFE\x41\x00", 4),
                                     std::string("\xFE\xFF\x00\x41", 4), std::string("\xEF\xBB\xBF" "a"),
                                     std::string("abc")})
        decode_text_bytes(input.data(), static_cast<std::uint32_t>(input.size()), nullptr, &calls);
    decode_text_bytes(nullptr, 5, record, &calls); // no bytes: an empty file
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, sink_kind_report);
    EXPECT_EQ(calls[0].length, report_text_too_short);
}

TEST(decode_text_bytes, the_mark_chooses_the_decoding)
{
    struct row {
        unsigned ansi_code_page;
        std::string input, expected; // expected: the delivered bytes
        bool in_place = false;       // delivered from the caller's bytes after the mark, not copied
    };
    const std::string le = "\xFF\xFE", be = "\xFE\xFF", utf8 = "\xEF\xBB\xBF";
    const row rows[] = {
        // FF FE: the bytes after the mark as they are, an odd one kept.
        {0, le + "\x41", "\x41", true}, {0, le + std::string("\x41\x00", 2), std::string("\x41\x00", 2), true},
        {0, le + std::string("\x41\x00\x42", 3), std::string("\x41\x00\x42", 3), true},
        {0, utf16_bytes(chinese, utf16::le), delivered(chinese), true},
        // FE FF: each unit swapped, an odd byte dropped.
        {0, be + std::string("\x00", 1), ""}, {0, be + std::string("\x00\x41", 2), delivered(L"A")},
        {0, be + std::string("\x00\x41\x00", 3), delivered(L"A")},
        {0, be + "\x4E\x2D\x65\x87", delivered(L"\u4e2d\u6587")},
        // EF BB BF: skipped; only the leading mark, one further in is text.
        {0, utf8, ""}, {0, utf8 + "a", delivered(L"a")}, {0, utf8 + chinese_utf8, delivered(chinese)},
        {0, utf8 + "[a]" + utf8, delivered(L"[a]\ufeff")},
        // No mark: the ANSI code page. A UTF-16 file without its mark is read so, NULs and all.
        {0, "abc", delivered(L"abc")}, {0, "[log]\r\nlevel=fatal\r\n", delivered(L"[log]\r\nlevel=fatal\r\n")},
        {0, std::string("a\0b\0", 4), delivered(std::wstring(L"a\0b\0", 4))},
        {936, "k=" + chinese_gbk, delivered(L"k=" + chinese)},
        // The UTF-8 mark still wins over the ANSI code page.
        {936, utf8 + chinese_utf8, delivered(chinese)},
        {1252, "k=" + chinese_gbk, delivered(L"k=" + chinese_gbk_as_1252)},
        // Marks cut short are plain text.
        {1252, "\xEF\xBB\x41", delivered(L"\u00ef\u00bbA")}, {1252, "\xFF\x41\x42", delivered(L"\u00ffAB")},
        {1252, "\xFE\x41\x42", delivered(L"\u00feAB")},
    };
    for (const row& r : rows) {
        if (!runs_under(r.ansi_code_page)) continue;
        SCOPED_TRACE(testing::PrintToString(r.input));
        const auto calls = decode(r.input);
        EXPECT_EQ(single_text(calls), r.expected);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].total, r.expected.size());
        if (r.in_place) {
            EXPECT_EQ(calls[0].data, static_cast<const void*>(r.input.data() + 2));
        }
    }
}

} // namespace
