// The INI reader against whole files: golden dumps of the resulting model, ordering,
// and load/reload behaviour.
#include "config/ini_model.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

namespace {

// "[name]\n" then "key=value\n" per entry, every section in model order.
std::string dump(const ini_model& model)
{
    std::string out;
    for (const ini_section& section : model.sections) {
        out += "[" + section.name + "]\n";
        for (const ini_entry& entry : section.entries)
            out += entry.key + "=" + entry.value + "\n";
    }
    return out;
}

std::string to_lf(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    return text;
}

class IniFile : public testing::Test {
protected:
    // Writes `bytes` as a file and loads it into `model`.
    int load(const std::string& bytes)
    {
        write_file_bytes(path(), bytes);
        return model.load(ansi_path().c_str());
    }
    std::wstring path() const { return dir.file(L"debug.cfg"); }
    std::string ansi_path() const { return wide_to_code_page(path(), CP_ACP); }

    temp_dir dir;
    ini_model model;
};

// One file exercising most rules at once.
const std::string rules_file = "top=1\r\n"
                               "  # comment\r\n"
                               "[read_eof] // note\r\n"
                               "b.exe=1\r\n"
                               "; semi=x\r\n"
                               "A.exe=0\r\n"
                               "  // x=y\r\n"
                               "\tk = a=b \r\n"
                               "noequals\r\n"
                               " = nokey\r\n"
                               "[empty]\r\n"
                               "# only a comment\r\n"
                               "[READ_EOF]\r\n"
                               "Z.exe=1\r\n"
                               "[ read_eof ]\r\n"
                               "y.exe=1\r\n"
                               "[read_eof]\r\n"
                               "b.exe=2\r\n"
                               "a.exe=\r\n"
                               "[]\r\n"
                               "late=1\r\n";
const std::string rules_dump = "[]\nlate=1\ntop=1\n"
                               "[ read_eof ]\ny.exe=1\n"
                               "[READ_EOF]\nZ.exe=1\n"
                               "[read_eof]\n; semi=x\nA.exe=0\na.exe=\nb.exe=1\nb.exe=2\nk=a=b\n";

TEST_F(IniFile, GoldenFiles)
{
    const std::string long_line = "k=" + std::string(252, 'v') + "j=" + std::string(44, 'w');
    const struct {
        const char* label;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"rules, CRLF", rules_file, rules_dump},
        {"rules, LF", to_lf(rules_file), rules_dump},
        {"rules, no final newline", rules_file.substr(0, rules_file.size() - 2), rules_dump},
        {"header without ]", "[read_eof\r\nx.exe=1\r\n", "[read_eof\r\n]\nx.exe=1\n"},
        // The mark's bytes precede "[", so the header is a key line without "=".
        {"UTF-8 mark before header", "\xEF\xBB\xBF[read_eof]\r\na.exe=1\r\n[log]\r\nlevel=all\r\n",
         "[]\na.exe=1\n[log]\nlevel=all\n"},
        // Each line's text ends at its first zero byte.
        {"UTF-16LE", "\xFF\xFE[\0r\0]\0\r\0\n\0a\0=\0\x31\0\r\0\n\0"s, ""},
        {"UTF-16BE", "\xFE\xFF\0[\0r\0]\0\r\0\n\0a\0=\0\x31\0\r\0\n"s, ""},
        // Lines are taken whole, however long: no tail ever becomes a line of its own.
        {"300-byte line", "[s]\r\n" + long_line + "\r\n", "[s]\n" + long_line + "\n"},
        {"100,000-byte key", "[s]\r\n" + std::string(100000, 'n') + "=1\r\n",
         "[s]\n" + std::string(100000, 'n') + "=1\n"},
        {"long header", "[" + std::string(300, 'h') + "]\r\nk=1\r\n", "[" + std::string(300, 'h') + "]\nk=1\n"},
        // A line's text ends at its first zero byte; the rest of that line is not a line.
        {"zero byte inside a long line", "[s]\r\nk=1\0"s + std::string(300, 'x') + "=2\r\nm=3\r\n",
         "[s]\nk=1\nm=3\n"},
        // Only two slashes make a comment; a header's "=" belongs to its name.
        {"single slash", "[s]\r\n/x=1\r\n//y=1\r\n", "[s]\n/x=1\n"},
        {"header holding =", "[a=b]\r\nk=1\r\n", "[a=b]\nk=1\n"},
        {"only comments and blanks", "\r\n  \t\r\n#[a]\r\n//b=1\r\n[a]\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0, load(c.bytes));
        EXPECT_EQ(c.expected, dump(model));
    }
}

TEST_F(IniFile, OrderIsUnsignedBytesWithoutCaseFolding)
{
    ASSERT_EQ(0, load("[\xE9x]\r\nk=1\r\n[zz]\r\nk=1\r\n[ZZ]\r\nk=1\r\n"
                      "[s]\r\nb=1\r\nB=1\r\n\xC9\xA8.exe=1\r\nz=1\r\nZ=1\r\nab=1\r\na=1\r\n"));
    EXPECT_EQ("[ZZ]\nk=1\n[s]\nB=1\nZ=1\na=1\nab=1\nb=1\nz=1\n\xC9\xA8.exe=1\n[zz]\nk=1\n[\xE9x]\nk=1\n", dump(model));
}

TEST_F(IniFile, LongKeysSharingAPrefixSortByTheirTails)
{
    ASSERT_EQ(0, load("[t]\nlongprefix_12345678_b=1\nlongprefix_12345678_a=1\nlongprefix_12345678=1\n"
                      "longprefix_12345678_\xE9=1\nlongprefix_12345678_a=2\nl=1\nlongprefix_12345678_B=1\n"));
    EXPECT_EQ("[t]\nl=1\nlongprefix_12345678=1\nlongprefix_12345678_B=1\nlongprefix_12345678_a=1\n"
              "longprefix_12345678_a=2\nlongprefix_12345678_b=1\nlongprefix_12345678_\xE9=1\n",
              dump(model));
}

TEST_F(IniFile, EqualKeysKeepFileOrderAmongManySharedPrefixes)
{
    // More keys than a small-sort cut-off, sharing long prefixes, with duplicates whose
    // values tell their file order apart.
    const char* const keys[] = {"abz", "aca", "abb", "prefix_long_b", "prefix_long_a", "prefix_long_b",
                                "prefix_long_", "prefix_long_ab", "abz", "ab", "prefix_long_a", "Abz",
                                "prefix_long_b", "a", "aca", "zz", "prefix_long_", "abb", "\xE9", "prefix_lonG"};
    std::string bytes = "[s]\n";
    std::vector<std::pair<std::string, std::string>> reference;
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        bytes += keys[i] + std::string("=") + std::to_string(i) + "\n";
        reference.emplace_back(keys[i], std::to_string(i));
    }
    // The reference order: unsigned bytes, shorter first, equal keys as in the file.
    std::stable_sort(reference.begin(), reference.end(), [](const auto& a, const auto& b) {
        return std::lexicographical_compare(a.first.begin(), a.first.end(), b.first.begin(), b.first.end(),
                                            [](char x, char y) { return static_cast<unsigned char>(x) <
                                                                        static_cast<unsigned char>(y); });
    });
    std::string expected = "[s]\n";
    for (const auto& [key, value] : reference)
        expected += key + "=" + value + "\n";
    ASSERT_EQ(0, load(bytes));
    EXPECT_EQ(expected, dump(model));
    // Three keys in the order abz, aca, abb come out as abb, abz, aca.
    ASSERT_EQ(0, load("[t]\nabz=1\naca=2\nabb=3\n"));
    EXPECT_EQ("[t]\nabb=3\nabz=1\naca=2\n", dump(model));
}

TEST_F(IniFile, LargeReopenedSectionEndsSorted)
{
    // Descending keys spread over three blocks of the same section, between others.
    std::string bytes;
    for (int block = 0; block < 3; ++block) {
        bytes += "[read_eof]\r\n";
        for (int i = 2999 - block; i >= 0; i -= 3) {
            char line[32];
            std::snprintf(line, sizeof line, "p%05d.exe=%d\r\n", i, i % 2);
            bytes += line;
        }
        bytes += "[other" + std::to_string(block) + "]\r\nk=1\r\n";
    }
    ASSERT_EQ(0, load(bytes));
    ASSERT_EQ(4u, model.sections.size());
    const ini_section* section = model.find("read_eof");
    ASSERT_NE(nullptr, section);
    ASSERT_EQ(3000u, section->entries.size());
    for (int i = 0; i < 3000; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "p%05d.exe", i);
        ASSERT_EQ(key, section->entries[static_cast<std::size_t>(i)].key);
    }
}

TEST_F(IniFile, FindMatchesExactBytes)
{
    ASSERT_EQ(0, load(rules_file));
    ASSERT_NE(nullptr, model.find("read_eof"));
    EXPECT_EQ("read_eof", model.find("read_eof")->name);
    EXPECT_EQ(nullptr, model.find("Read_eof"));
    EXPECT_EQ(nullptr, model.find("read_eof "));
    EXPECT_EQ(nullptr, model.find("empty"));
}

TEST_F(IniFile, ReloadReplacesAndMissingFileEmpties)
{
    ASSERT_EQ(0, load(rules_file));
    ASSERT_EQ(0, model.load(ansi_path().c_str()));
    EXPECT_EQ(rules_dump, dump(model));

    EXPECT_EQ(ENOENT, model.load(wide_to_code_page(dir.file(L"absent.cfg"), CP_ACP).c_str()));
    EXPECT_TRUE(model.sections.empty());

    ASSERT_EQ(0, load(rules_file));
    EXPECT_EQ(87, model.load(nullptr)) << "the Windows code for a missing argument";
    EXPECT_TRUE(model.sections.empty());
}

} // namespace
