// What a write may store: text the file's encoding holds and reads back exactly, and
// only where no other key of the file reads differently afterwards. The writes here run
// on the system the tests run on, and the oracle is the file itself: its bytes, and what
// the profile functions read back. What the rule decides for the other system is the
// table of WriteRuleOnBothSystems.
#include "config/cfg_keys.h"
#include "config/cfg_settings.h"
#include "config/file_text.h"
#include "support/shared_file.h"
#include "config/ini_model.h"
#include "config/write_rule.h"
#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace std::string_literals;

namespace {

using stored_text_test = temp_cfg_test;

// One write of a key into section "read_eof" of a file holding `file`; what the write
// rule decides for it on each system.
struct read_eof_write {
    const char* name;
    std::string file;
    std::wstring key, value;
    unsigned code_page = 0;
    bool on_windows = true, on_wine = true;
};

// Each case: what the file holds before, then one write that must be refused. Texts
// are given in UTF-8 here; `code_page` limits a case to the code page it is about.
struct refused_case {
    const char* name;
    std::string file;
    const wchar_t* section;
    std::wstring key, value;
    unsigned code_page = 0;
    // Refused only where the whole file is rewritten.
    bool wine_only = false;
};

TEST_F(stored_text_test, RefusedWritesLeaveTheFileByteForByte)
{
    const std::string plain = "[log]\r\nlevel=all\r\n[read_eof]\r\na.exe=1\r\n";
    // As an editor saves it by default: UTF-8 without a mark (this source is UTF-8).
    const std::string utf8_file = "[log]\r\npath=D:\\扫描日志\\扫描仪.log\r\n[read_eof]\r\n扫描仪.exe=1\r\n";
    const refused_case cases[] = {
        // Keys that would read back as a header, a comment or another key.
        {"vertical tab before a header", plain, cfg::section_read_eof, L"\v[log]", L"1"},
        {"form feed before a header", plain, cfg::section_read_eof, L"\f[log]", L"1"},
        {"end-of-file mark before a header", plain, cfg::section_read_eof, L"\x1A[log]", L"1"},
        {"ideographic space before a header", plain, cfg::section_read_eof, L"\x3000[log]", L"1"},
        {"no-break space before a header", plain, cfg::section_read_eof, L"\xA0[log]", L"1"},
        {"zero-width space before a header", plain, cfg::section_read_eof, L"\x200B[log]", L"1"},
        {"byte-order mark before a header", plain, cfg::section_read_eof, L"\xFEFF[log]", L"1"},
        {"hash comment", plain, cfg::section_read_eof, L"#x.exe", L"1"},
        {"slash comment", plain, cfg::section_read_eof, L"//x.exe", L"1"},
        // Windows takes such a line for a comment: each write would add another line.
        {"semicolon comment", plain, cfg::section_read_eof, L";new.exe", L"1"},
        {"semicolon after a blank", plain, cfg::section_read_eof, L" ;new.exe", L"1"},
        {"semicolon after a tab", plain, cfg::section_read_eof, L"\t;new.exe", L"1"},
        {"equals inside the key", plain, cfg::section_read_eof, L"level=x", L"1"},
        {"key with a trailing blank", plain, cfg::section_read_eof, L"a.exe ", L"0"},
        {"key with a leading blank", plain, cfg::section_read_eof, L" a.exe", L"0"},
        {"key with a tab inside", plain, cfg::section_read_eof, L"a\tb.exe", L"0"},
        {"key with a line separator", plain, cfg::section_read_eof, L"a\x2028[log]", L"0"},
        {"key with a C1 control", plain, cfg::section_read_eof, L"a\x85[log]", L"0"},
        {"key with the last C0 control", plain, cfg::section_read_eof, L"a\x1F.exe", L"0"},
        {"key with delete", plain, cfg::section_read_eof, L"a\x7F.exe", L"0"},
        {"en quad at the end", plain, cfg::section_read_eof, L"a.exe\x2000", L"0"},
        {"zero-width joiner at the end", plain, cfg::section_read_eof, L"a.exe\x200D", L"0"},
        {"word joiner at the end", plain, cfg::section_read_eof, L"a.exe\x2060", L"0"},
        {"byte-order mark at the end", plain, cfg::section_read_eof, L"a.exe\xFEFF", L"0"},
        // Values that would read back as a different text.
        {"value in double quotes", plain, cfg::section_log, cfg::key_log_path, L"\"D:\\a b\""},
        {"value in single quotes", plain, cfg::section_log, cfg::key_log_path, L"'D:\\a'"},
        {"value with a trailing blank", plain, cfg::section_log, cfg::key_log_path, L"D:\\a "},
        {"value with a leading tab", plain, cfg::section_log, cfg::key_log_path, L"\tD:\\a"},
        {"value with an end-of-file mark", plain, cfg::section_log, cfg::key_log_path, L"D:\\a\x1A"},
        {"section that closes early", plain, L"log]x", cfg::key_log_level, L"fatal"},
        // Text the ANSI file cannot hold: a "?" or a look-alike would be stored.
        {"Thai in an ANSI file", plain, cfg::section_log, cfg::key_log_path, L"D:\\\x0E01"},
        {"Thai key in an ANSI file", plain, cfg::section_read_eof, L"\x0E01.exe", L"1"},
        {"full-width brackets become a header", plain, cfg::section_read_eof, L"\xFF3Blog\xFF3D", L"1", 1252},
        {"Chinese in an ANSI file", plain, cfg::section_log, cfg::key_log_path, utf8_to_wide("D:\\日志"), 1252},
        // Under Wine, files its rewrite through their encoding would damage.
        {"UTF-8 without a mark", utf8_file, cfg::section_log, cfg::key_log_level, L"fatal", 936, true},
        {"zero bytes in an ANSI file", "[log]\r\nlevel=all\0\r\n"s, cfg::section_log, cfg::key_log_level, L"fatal", 0,
         true},
        {"UTF-16BE", utf16_bytes(L"[log]\r\n", utf16::be), cfg::section_log, cfg::key_log_level, L"fatal", 0, true},
        {"UTF-16BE mark on ANSI text", "\xFE\xFF[log]\r\nlevel=all\r\n", cfg::section_log, cfg::key_log_level,
         L"fatal", 0, true},
        // Wine rewrites a file with a UTF-8 mark as UTF-8; what it may take is held to ASCII.
        {"Chinese in a file with a UTF-8 mark", "\xEF\xBB\xBF[log]\r\nlevel=all\r\n", cfg::section_log,
         cfg::key_log_path, utf8_to_wide("D:\\日志"), 0, true},
    };
    for (const refused_case& c : cases) {
        if (!runs_under(c.code_page) || (c.wine_only && running_profile_system() != profile_system::wine))
            continue;
        SCOPED_TRACE(c.name);
        // Texts of the cases are UTF-8 here; the file holds them in the ANSI code page
        // unless the case gives bytes of another encoding.
        const bool ansi = c.file.find('\0') == std::string::npos && c.file.compare(0, 2, "\xFE\xFF") != 0 &&
                          c.file.compare(0, 3, "\xEF\xBB\xBF") != 0 && c.code_page != 936;
        const std::string before = ansi ? wide_to_code_page(utf8_to_wide(c.file), CP_ACP) : c.file;
        ASSERT_TRUE(write_file_bytes(path, before));
        EXPECT_FALSE(write_cfg_value(path, c.section, c.key, c.value));
        EXPECT_EQ(before, read_file_bytes(path));
    }
}

TEST_F(stored_text_test, TextTheFileHoldsIsWrittenAndReadsBackExactly)
{
    // Each write adds its key after the last key of the file's one section, in the file's
    // encoding, on every system.
    const read_eof_write cases[] = {
        {"Thai and Chinese in a UTF-16LE file", utf16_bytes(L"[read_eof]\r\nb.exe=0\r\n", utf16::le),
         L"\x0E01" + utf8_to_wide("扫描.exe"), L"1", 0},
        {"full-width brackets in a UTF-16LE file", utf16_bytes(L"[read_eof]\r\n", utf16::le), L"\xFF3Blog\xFF3D", L"0"},
        {"Chinese in an ANSI file under 936", "[read_eof]\r\n", utf8_to_wide("扫描仪.exe"), L"1", 936},
        {"full-width brackets under 936 are no header", "[read_eof]\r\n", L"\xFF3Blog\xFF3D", L"1", 936},
        {"Latin-1 in an ANSI file under 1252", "[read_eof]\r\n", L"caf\xE9.exe", L"1", 1252},
        {"brackets inside a key", "[read_eof]\r\n", L"a[1].exe", L"0", 0},
        {"blanks and tildes inside", "[read_eof]\r\n", L"my app~1.exe", L"1", 0},
        {"semicolon inside a key", "[read_eof]\r\n", L"a;b.exe", L"1", 0},
    };
    for (const auto& c : cases) {
        if (!runs_under(c.code_page))
            continue;
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(write_file_bytes(path, c.file));
        EXPECT_TRUE(write_cfg_value(path, cfg::section_read_eof, c.key, c.value));
        EXPECT_EQ(c.value, profile_string(path, cfg::section_read_eof, c.key));
        const std::wstring line = c.key + L"=" + c.value + L"\r\n";
        const bool unicode = c.file.compare(0, 2, "\xFF\xFE") == 0;
        const std::string added = unicode ? utf16_bytes(line, utf16::le, bom::without) : wide_to_code_page(line, CP_ACP);
        EXPECT_EQ(c.file + added, read_file_bytes(path));
    }
}

// A file with a UTF-8 mark: Wine honours the mark and rewrites the file as UTF-8 with it.
TEST_F(stored_text_test, AsciiGoesIntoAFileWithAUtf8MarkUnderWine)
{
    if (running_profile_system() != profile_system::wine)
        GTEST_SKIP() << "what Wine does with the rest of the file";
    // UTF-8 bytes that are no GBK text: the file is kept under every code page.
    const std::string file = "\xEF\xBB\xBF[log]\r\npath=D:\\扫描日志\\扫描仪.log\r\n[read_eof]\r\na.exe=0\r\n";
    ASSERT_TRUE(write_file_bytes(path, file));
    EXPECT_TRUE(write_cfg_value(path, cfg::section_read_eof, L"x.exe", L"1"));
    EXPECT_EQ(file + "x.exe=1\r\n", read_file_bytes(path));
    EXPECT_EQ(L"1", profile_string(path, cfg::section_read_eof, L"x.exe"));
}

// A UTF-16LE file holds every character, so only the blank rule stands between a key
// with an invisible blank at one end and a key that reads back shorter. Each blank's
// neighbours in Unicode are ordinary characters and are stored.
TEST_F(stored_text_test, UnicodeBlanksAtTheEndsOfAKeyAreRefusedInAUtf16File)
{
    const wchar_t blanks[] = {0x0020, 0x00A0, 0x1680, 0x180E, 0x2000, 0x2005, 0x200A, 0x200B,
                              0x200D, 0x202F, 0x205F, 0x2060, 0x3000, 0xFEFF};
    const wchar_t ordinary[] = {0x0021, 0x00A1, 0x167F, 0x1681, 0x180D, 0x180F, 0x1FFF, 0x200E,
                                0x202E, 0x2030, 0x205E, 0x2061, 0x2FFF, 0x3001, 0xFEFE, 0xFF01};
    const std::string file = utf16_bytes(L"[read_eof]\r\nb.exe=0\r\n", utf16::le);
    for (wchar_t c : blanks)
        for (const std::wstring& key : {std::wstring(1, c) + L"a.exe", L"a.exe" + std::wstring(1, c)}) {
            SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(c));
            ASSERT_TRUE(write_file_bytes(path, file));
            EXPECT_FALSE(write_cfg_value(path, cfg::section_read_eof, key, L"1"));
            EXPECT_EQ(file, read_file_bytes(path));
        }
    for (wchar_t c : ordinary) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<unsigned>(c));
        const std::wstring key = std::wstring(1, c) + L"a.exe" + std::wstring(1, c);
        ASSERT_TRUE(write_file_bytes(path, file));
        EXPECT_TRUE(write_cfg_value(path, cfg::section_read_eof, key, L"1"));
        EXPECT_EQ(L"1", profile_string(path, cfg::section_read_eof, key));
    }
}

// How each system stores text in a file: Wine rewrites the whole file through its
// encoding, Windows keeps the other bytes and honours only a UTF-16LE mark.
TEST_F(stored_text_test, FormsOfFilesOnBothSystems)
{
    constexpr stored_form ansi = stored_form::ansi, utf16le = stored_form::utf16le,
                          ascii_only = stored_form::ascii_only, none = stored_form::not_rewritable;
    const struct {
        const char* name;
        std::string bytes;
        stored_form wine, windows;
        unsigned code_page;
    } cases[] = {
        {"empty", "", ansi, ansi, 0}, {"ASCII", "[log]\r\nlevel=all\r\n", ansi, ansi, 0},
        {"UTF-16LE", "\xFF\xFE[\0"s, utf16le, utf16le, 0}, {"UTF-16LE mark alone", "\xFF\xFE", utf16le, utf16le, 0},
        {"UTF-16LE with an odd last byte", "\xFF\xFE[\0l"s, none, none, 0},
        {"UTF-8 mark", "\xEF\xBB\xBF[log]\r\n", ascii_only, ansi, 0},
        {"UTF-8 mark before UTF-8 text", "\xEF\xBB\xBF[log]\r\npath=D:\\扫描日志\\扫描仪.log\r\n", ascii_only, ansi, 0},
        {"UTF-8 mark before GBK text", "\xEF\xBB\xBF[log]\r\npath=D:\\\xC8\xD5\xD6\xBE\r\n", none, ansi, 0},
        {"UTF-16BE", "\xFE\xFF\0[", none, ansi, 0}, {"zero byte", "a\0b"s, none, ansi, 0},
        {"zero bytes before the first section", "\0\0\0[log]\r\nlevel=all\r\n"s, none, ansi, 0},
        {"GBK text under 936", "\xC9\xA8\xC3\xE8=1\r\n", ansi, ansi, 936},
        {"UTF-8 text under 936", "path=D:\\扫描日志\\扫描仪.log\r\n", none, ansi, 936},
        {"a lead byte at the end under 936", "k=\xC9", none, ansi, 936},
        {"Latin-1 text under 1252", "caf\xE9=1\r\n", ansi, ansi, 1252},
        // Half a mark is no mark: the bytes are ANSI text.
        {"FF without FE under 1252", "\xFF[log]=1\r\n", ansi, ansi, 1252},
        {"FE without FF under 1252", "\xFE[log]=1\r\n", ansi, ansi, 1252},
        {"EF BB without BF under 1252", "\xEF\xBB[log]\r\n", ansi, ansi, 1252},
    };
    for (const auto& c : cases) {
        if (!runs_under(c.code_page))
            continue;
        EXPECT_EQ(c.wine, stored_form_of(c.bytes, profile_system::wine)) << c.name;
        EXPECT_EQ(c.windows, stored_form_of(c.bytes, profile_system::windows)) << c.name;
    }
}

// The whole rule as a pure function of the file's bytes, the texts and the system. On
// Windows only the written key and value matter, so files with zero bytes and UTF-8 files
// take a change; under Wine the rewrite must keep the file's bytes as well.
TEST_F(stored_text_test, WriteRuleOnBothSystems)
{
    const std::string ansi = "[log]\r\nlevel=all\r\n[read_eof]\r\na.exe=1\r\n";
    // As an editor saves it: a path whose UTF-8 bytes are no GBK text.
    const std::string utf8 = "[log]\r\npath=D:\\扫描日志\\扫描仪.log\r\n[read_eof]\r\n";
    const std::string utf16le = utf16_bytes(utf8_to_wide("[log]\r\npath=D:\\扫描日志\r\n"), utf16::le);
    const std::string utf16be = utf16_bytes(L"[log]\r\n", utf16::be);
    const std::string nuls = "\0\0[log]\r\nlevel=all\0x\r\n"s;
    const std::wstring chinese = utf8_to_wide("扫描仪.exe");
    const read_eof_write cases[] = {
        {"ANSI file", ansi, L"x.exe", L"1", 0, true, true},
        {"semicolon key", ansi, L";new.exe", L"1", 0, false, false},
        {"semicolon key after a blank", ansi, L" ;new.exe", L"1", 0, false, false},
        {"semicolon key after a tab", ansi, L"\t;new.exe", L"1", 0, false, false},
        {"semicolon inside a key", ansi, L"a;b.exe", L"1", 0, true, true},
        {"semicolon starting a value", ansi, L"path", L";D:\\log", 0, true, true},
        {"UTF-8 without a mark, ASCII under 936", utf8, L"x.exe", L"1", 936, true, false},
        {"UTF-8 without a mark, Chinese under 936", utf8, chinese, L"1", 936, true, false},
        {"UTF-8 with a mark, ASCII", "\xEF\xBB\xBF" + utf8, L"x.exe", L"1", 0, true, true},
        {"UTF-8 with a mark, Chinese under 936", "\xEF\xBB\xBF" + utf8, chinese, L"1", 936, true, false},
        {"UTF-16LE, Thai", utf16le, L"\x0E01.exe", L"1", 0, true, true},
        {"UTF-16BE", utf16be, L"x.exe", L"1", 0, true, false},
        {"UTF-16BE, Thai", utf16be, L"\x0E01.exe", L"1", 0, false, false},
        {"zero bytes", nuls, L"x.exe", L"1", 0, true, false},
    };
    for (const auto& c : cases) {
        if (!runs_under(c.code_page))
            continue;
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.on_windows, write_allowed(c.file, cfg::section_read_eof, c.key, c.value, profile_system::windows));
        EXPECT_EQ(c.on_wine, write_allowed(c.file, cfg::section_read_eof, c.key, c.value, profile_system::wine));
    }
    // A file that is not there yet is created as ANSI text; one that cannot be read (a
    // folder here) cannot be judged.
    EXPECT_TRUE(write_allowed_to_file(dir.file(L"absent.cfg"), cfg::section_read_eof, L"x.exe", L"1"));
    EXPECT_FALSE(write_allowed_to_file(dir.path(), cfg::section_read_eof, L"x.exe", L"1"));
}

// ---- number boxes: what the box shows and what the file holds are a fixed point ------

TEST(NumberBox, DigitsThatFitUnsigned32BitsAreStoredAsTheirSignedValue)
{
    const std::pair<const wchar_t*, std::int32_t> cases[] = {
        {L"0", 0}, {L"1000", 1000}, {L"0010", 10}, {L"2147483647", INT_MAX}, {L"2147483648", INT_MIN},
        {L"4294967291", -5}, {L"4294967295", -1},
        // Leading zeros do not count against the ten digits.
        {L"04294967295", -1}, {L"02147483648", INT_MIN}, {L"00000000000000000007", 7},
        // Anything else keeps the C runtime's reading.
        {L"-1", -1}, {L"-5", -5}, {L" 12", 12}, {L"+7", 7}, {L"12abc", 12}, {L"abc", 0}, {L"", 0}, {L"0x10", 0},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(number, number_from_box_text(text)) << text;
}

TEST(NumberBox, ShownTextReadsBackAsTheSameNumber)
{
    for (std::int32_t number : {0, 1, 1000, -1, -5, INT_MIN, INT_MAX}) {
        wchar_t shown[16] = {};
        // What SetDlgItemInt shows for an unsigned number.
        swprintf(shown, 16, L"%u", static_cast<unsigned>(number));
        EXPECT_EQ(shown, number_box_text(number));
        EXPECT_EQ(number, number_from_box_text(number_box_text(number)));
    }
}

// The readers never lock out the driver: a program holding the file open for writing
// does not stop them, and they do not stop it.

TEST_F(stored_text_test, ReadersShareTheFileWithAWriter)
{
    ASSERT_TRUE(write_file_bytes(path, "[read_eof]\r\na.exe=1\r\n"));
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    ini_model model;
    EXPECT_EQ(0, model.load(wide_to_code_page(path, CP_ACP).c_str()));
    EXPECT_NE(nullptr, model.find("read_eof"));
    std::string bytes;
    EXPECT_EQ(0, read_whole_file(path.c_str(), bytes));
    EXPECT_EQ("[read_eof]\r\na.exe=1\r\n", bytes);
    CloseHandle(writer);

    // While the chunk reader holds the file, another program can write, rename and delete it.
    struct attempt {
        std::wstring path;
        bool wrote = false, renamed = false;
    } during{path};
    read_file_chunks(
        path.c_str(),
        [](const void*, std::uint64_t, std::uint64_t, std::int32_t, void* context) -> std::int32_t {
            auto& a = *static_cast<attempt*>(context);
            HANDLE other = CreateFileW(a.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            a.wrote = other != INVALID_HANDLE_VALUE;
            if (a.wrote)
                CloseHandle(other);
            a.renamed = MoveFileW(a.path.c_str(), (a.path + L".old").c_str()) != FALSE;
            return sink_stop;
        },
        &during);
    EXPECT_TRUE(during.wrote);
    EXPECT_TRUE(during.renamed);
}

} // namespace
