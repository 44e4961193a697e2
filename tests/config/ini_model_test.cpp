// The INI reader against whole files: the golden files of tests/fixtures, ordering,
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

class IniFile : public temp_cfg_test {
protected:
    int load(const std::string& bytes)
    {
        write_file_bytes(path, bytes);
        return model.load(ansi_path().c_str());
    }
    std::string ansi_path() const { return wide_to_code_page(path, CP_ACP); }

    ini_model model;
};

// Each golden file gives the model its .expected file shows, parsed from its bytes and
// loaded from where it lies.
TEST(IniFixtures, EveryFileReadsAsItsExpectedModel)
{
    const std::vector<std::string> names = fixture_names();
    // A golden file that went missing would drop its case without a word.
    ASSERT_EQ(names.size(), 69u) << "the golden files in tests/fixtures";
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string expected = fixture_bytes(name + ".expected");
        ini_model model;
        model.parse(fixture_bytes(name + ".cfg"));
        EXPECT_EQ(expected, dump(model));
        EXPECT_EQ(0, model.load(wide_to_code_page(fixture_path(name + ".cfg"), CP_ACP).c_str()));
        EXPECT_EQ(expected, dump(model));
    }
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
    // The reference order: unsigned bytes (as std::string compares them), shorter first,
    // equal keys as in the file.
    std::stable_sort(reference.begin(), reference.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
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
    ASSERT_EQ(0, load(fixture_bytes("rules_crlf.cfg"))); // most rules at once
    ASSERT_NE(nullptr, model.find("read_eof"));
    EXPECT_EQ("read_eof", model.find("read_eof")->name);
    EXPECT_EQ(nullptr, model.find("Read_eof"));
    EXPECT_EQ(nullptr, model.find("read_eof "));
    EXPECT_EQ(nullptr, model.find("empty"));
}

TEST_F(IniFile, ReloadReplacesAndMissingFileEmpties)
{
    const std::string rules_file = fixture_bytes("rules_crlf.cfg");
    ASSERT_EQ(0, load(rules_file));
    ASSERT_EQ(0, model.load(ansi_path().c_str()));
    EXPECT_EQ(fixture_bytes("rules_crlf.expected"), dump(model));

    EXPECT_EQ(ENOENT, model.load(wide_to_code_page(dir.file(L"absent.cfg"), CP_ACP).c_str()));
    EXPECT_TRUE(model.sections.empty());

    ASSERT_EQ(0, load(rules_file));
    EXPECT_EQ(87, model.load(nullptr)) << "the Windows code for a missing argument";
    EXPECT_TRUE(model.sections.empty());
}

} // namespace
