// debug.cfg as the content box shows it, and the bytes that store an edited box.
#include "config/content_text.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const content_encoding every_encoding[] = {content_encoding::ansi, content_encoding::utf8, content_encoding::utf16le,
                                           content_encoding::utf16be};

// `text` stored in the encoding, after the encoding's mark unless told otherwise.
std::string in(content_encoding e, const std::wstring& text, bom mark = bom::with)
{
    if (e == content_encoding::utf16le || e == content_encoding::utf16be)
        return utf16_bytes(text, e == content_encoding::utf16le ? utf16::le : utf16::be, mark);
    const std::string bytes = wide_to_code_page(text, e == content_encoding::utf8 ? CP_UTF8 : CP_ACP);
    return e == content_encoding::utf8 && mark == bom::with ? "\xEF\xBB\xBF" + bytes : bytes;
}

TEST(ContentBoxText, EachLineDecodedByTheMarkWithCrLfAfterIt)
{
    const std::wstring sample = utf8_to_wide("[read_eof]\r\n扫描.exe=1\r\n");
    const std::wstring long_text = std::wstring(1500, L'\u6587') + L"\r\nend";
    const struct {
        const char* label;
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {"UTF-8 mark", in(content_encoding::utf8, sample), sample},
        {"UTF-16LE", in(content_encoding::utf16le, sample), sample},
        {"UTF-16BE", in(content_encoding::utf16be, sample), sample},
        {"UTF-16LE, long", in(content_encoding::utf16le, long_text), long_text},
        {"UTF-16BE, long", in(content_encoding::utf16be, long_text), long_text},
        {"LF alone ends a line", "a=1\nb=2\n", L"a=1\r\nb=2\r\n"},
        {"LF alone, UTF-16LE", in(content_encoding::utf16le, L"a=1\nb"), L"a=1\r\nb"},
        {"a lone CR is part of the line", "a\rb\r\n", L"a\rb\r\n"},
        {"CR CR LF: a line ending in CR", "a\r\r\nb", L"a\r\r\nb"},
        {"an odd byte after UTF-16LE text is not shown", in(content_encoding::utf16le, L"a=1") + "x", L"a=1"},
        {"NUL shows as a character", "a=1\0b\r\n"s, L"a=1\0b\r\n"s}, {"empty file", "", L""}, {"one byte", "a", L""},
        {"two bytes", "ab", L""}, {"mark alone", "\xFF\xFE", L""}, {"UTF-8 mark alone", "\xEF\xBB\xBF", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, content_box_text(c.bytes));
    }
    if (GetACP() == 936) {
        EXPECT_EQ(utf8_to_wide("[read_eof]\r\n扫描.exe=1\r\n"), content_box_text("[read_eof]\r\n\xC9\xA8\xC3\xE8.exe=1\r\n"));
    } else if (GetACP() == 1252) {
        EXPECT_EQ(L"caf\u00e9.exe=1", content_box_text("caf\xE9.exe=1"));
    }
}

struct write_case {
    std::string label;
    std::string file;
    std::wstring box;
    std::string expected; // the new bytes; empty with a refusal
    content_refusal refusal = content_refusal::none;
    std::size_t line = 0;
};

// The cases every encoding has, written in that encoding.
std::vector<write_case> cases_in(content_encoding e)
{
    const std::wstring log = L"[log]\r\nlevel=all\r\n";
    // Bytes the encoding cannot decode, on a line the user leaves alone. (Under code page
    // 1252 the ANSI byte 0x81 does decode; its bytes must stay all the same.)
    const std::string undecodable = e == content_encoding::ansi   ? "\x81"
                                    : e == content_encoding::utf8 ? "\xFF"
                                                                  : "";
    const std::string odd_byte = undecodable.empty() ? "x" : "";
    const std::string bad_file = in(e, L"a=") + undecodable + in(e, L"\r\nb=1\r\nc=", bom::without) + odd_byte;
    std::wstring bad_box = content_box_text(bad_file);
    bad_box.replace(bad_box.find(L"b=1"), 3, L"b=2");
    const std::string bad_expected = in(e, L"a=") + undecodable + in(e, L"\r\nb=2\r\nc=", bom::without) + odd_byte;
    const bool utf16 = e == content_encoding::utf16le || e == content_encoding::utf16be;
    const std::string nul = utf16 ? "\0\0"s : "\0"s;
    // Thai, which neither code page has; a lone surrogate, which UTF-8 cannot hold.
    const std::wstring lacking = L"[log]\r\nlevel=" + std::wstring(e == content_encoding::ansi ? L"\u0E01" : L"\xD800");

    std::vector<write_case> cases = {
        {"unchanged", in(e, log), log, in(e, log)},
        {"line changed", in(e, log), L"[log]\r\nlevel=fatal\r\n", in(e, L"[log]\r\nlevel=fatal\r\n")},
        {"lines added", in(e, log), log + L"[mem]\r\nmax_img=5\r\n", in(e, log + L"[mem]\r\nmax_img=5\r\n")},
        {"line deleted", in(e, L"[a]\r\nx=1\r\ny=2\r\n"), L"[a]\r\ny=2\r\n", in(e, L"[a]\r\ny=2\r\n")},
        {"LF file: lines keep LF, new ones take it", in(e, L"[a]\nx=1\ny=2\n"), L"[a]\r\nx=1\r\ny=3\r\nz=4\r\n",
         in(e, L"[a]\nx=1\ny=3\nz=4\n")},
        {"undecodable bytes on an untouched line stay", bad_file, bad_box, bad_expected},
        {"NUL in the file", in(e, L"a=1\r\n") + nul + in(e, L"b\r\n", bom::without), L"a=2\r\n", "",
         content_refusal::file_holds_nul},
    };
    cases.push_back(utf16 ? write_case{"any character is stored", in(e, log), lacking, in(e, lacking)}
                          : write_case{"a character the encoding lacks", in(e, log), lacking, "",
                                       content_refusal::character_not_stored, 2});
    const char* const names[] = {"ANSI, ", "UTF-8, ", "UTF-16LE, ", "UTF-16BE, "};
    for (write_case& c : cases)
        c.label = names[static_cast<int>(e)] + c.label;
    return cases;
}

TEST(ContentWrite, KeepsTheFilesFormAndUntouchedBytes)
{
    std::vector<write_case> cases = {
        {"one byte", "a", L"b", "", content_refusal::file_too_short},
        {"a mark alone", "\xFF\xFE", L"[log]", "", content_refusal::file_too_short},
        {"new file: ANSI, CR LF", "", L"[log]\r\nlevel=fatal\nx", "[log]\r\nlevel=fatal\r\nx"},
        {"changed lines take the break most lines use", "a\nb\nc\r\nd", L"a\r\nB\r\nc\r\nd\r\ne",
         "a\nB\nc\r\nd\ne"},
        {"a last line without break gets one when a line follows", "a=1", L"a=1\r\nb=2", "a=1\r\nb=2"},
        {"a line ending in CR is not joined to an LF after it", "a=1\n", L"x\r\r\n", "x\r\r\n"},
        {"a line between two edits keeps its bytes", "\xEF\xBB\xBF" "a=1\r\nb=\xFF\r\nc=1\r\n",
         L"A=1\r\nb=\uFFFD\r\nC=1\r\n", "\xEF\xBB\xBF" "A=1\r\nb=\xFF\r\nC=1\r\n"},
        {"moved lines keep their bytes and breaks", "\xEF\xBB\xBF" "x=\xFF\ny\r\nz\n", L"z\r\nx=\uFFFD\r\n",
         "\xEF\xBB\xBF" "z\nx=\xFF\n"},
        {"the box emptied", "a=1\r\n", L"", ""},
        {"a text of two bytes would show as nothing", "a=1\r\n", L"\r\n", "", content_refusal::text_too_short},
    };
    for (content_encoding e : every_encoding)
        for (write_case& c : cases_in(e))
            cases.push_back(std::move(c));

    for (const write_case& c : cases) {
        SCOPED_TRACE(c.label);
        const content_write result = content_write_for(c.file, c.box);
        EXPECT_EQ(static_cast<int>(c.refusal), static_cast<int>(result.refusal));
        EXPECT_EQ(c.line, result.line);
        EXPECT_EQ(c.expected, result.bytes);
        // Read back as the page reads it, the file shows the box's text.
        if (c.refusal == content_refusal::none && c.expected.size() >= 3) {
            EXPECT_EQ(with_crlf(c.box), content_box_text(result.bytes));
        }
    }
}

} // namespace
