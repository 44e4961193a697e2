// The process list taken from the "read_eof" section of debug.cfg.
#include "config/read_eof.h"

#include "support/shared_file.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "name=1 " / "name=0 " per row, in list order.
std::wstring rows(const std::vector<read_eof_item>& list)
{
    std::wstring out;
    for (const read_eof_item& item : list)
        out += item.name + (item.enabled ? L"=1 " : L"=0 ");
    return out;
}

class ReadEofFile : public temp_cfg_test {
protected:
    std::wstring list_of(const std::string& bytes)
    {
        write_file_bytes(path, bytes);
        read_eof_list(path, list);
        return rows(list);
    }

    std::vector<read_eof_item> list;
};

// Golden files, read where they lie, and the list each gives.
TEST_F(ReadEofFile, SectionsThatDoAndDoNotCount)
{
    const struct {
        const char* fixture;
        const wchar_t* expected;
    } cases[] = {
        {"upper_case_before_lower.cfg", L"A.exe=0 b.exe=1 "}, {"blanks_around_equals.cfg", L"x.exe=1 "},
        {"header_with_trailing_text.cfg", L"x.exe=1 "}, {"header_in_other_case.cfg", L""},
        {"header_with_inner_blanks.cfg", L""}, {"header_without_bracket_lf.cfg", L""},
        {"comments_inside_the_section.cfg", L"c.exe=1 "}, {"semicolon_starts_a_key.cfg", L";d.exe=1 "},
        {"section_reopened.cfg", L"a.exe=0 b.exe=1 "}, {"duplicate_keys.cfg", L"a.exe=1 a.exe=1 "},
        {"empty_section.cfg", L""}, {"entries_before_the_first_header.cfg", L""},
        {"utf8_mark_hides_the_first_section.cfg", L""}, {"utf8_mark_later_header.cfg", L"a.exe=1 "},
        {"utf16le_read_eof.cfg", L""},
        // Only a lone 1 enables.
        {"values_other_than_a_lone_1.cfg", L"a=0 b=0 c=0 d=0 e=0 f=0 g=1 h=0 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        read_eof_list(fixture_path(c.fixture), list);
        EXPECT_EQ(c.expected, rows(list));
    }
}

TEST_F(ReadEofFile, NamesFollowTheAnsiCodePage)
{
    if (GetACP() == 936) {
        // Names in GBK / 1252 bytes sort after ASCII and come back as wide text.
        read_eof_list(fixture_path("names_in_gbk.cfg"), list);
        EXPECT_EQ(utf8_to_wide("z.exe=0 扫描.exe=1 "), rows(list));
    } else if (GetACP() == 1252) {
        read_eof_list(fixture_path("names_in_latin1.cfg"), list);
        EXPECT_EQ(L"z.exe=0 \u00e9t\u00e9.exe=1 ", rows(list));
    } else {
        GTEST_SKIP() << "needs code page 936 or 1252";
    }
}

TEST_F(ReadEofFile, EveryLoadReplacesTheList)
{
    const std::string bytes = "[read_eof]\na.exe=1\nb.exe=0\n";
    EXPECT_EQ(L"a.exe=1 b.exe=0 ", list_of(bytes));
    EXPECT_EQ(L"a.exe=1 b.exe=0 ", list_of(bytes));

    read_eof_list(dir.file(L"absent.cfg"), list);
    EXPECT_TRUE(list.empty());
}

TEST_F(ReadEofFile, PathOutsideTheCodePageReadsNothing)
{
    // "xĀ" may convert to "xA" by best fit: that other file must not be read instead.
    const std::wstring real = dir.file(L"x\u0100");
    const std::wstring look_alike = dir.file(L"xA");
    ASSERT_TRUE(make_dirs(real));
    ASSERT_TRUE(make_dirs(look_alike));
    ASSERT_TRUE(write_file_bytes(real + L"\\debug.cfg", "[read_eof]\na.exe=1\n"));
    ASSERT_TRUE(write_file_bytes(look_alike + L"\\debug.cfg", "[read_eof]\nb.exe=1\n"));

    list.push_back(read_eof_item{true, L"stale"});
    read_eof_list(real + L"\\debug.cfg", list);
    EXPECT_TRUE(list.empty());
    // The content box's reading opens the wide path and still shows the file.
    std::string bytes;
    EXPECT_EQ(0, read_whole_file((real + L"\\debug.cfg").c_str(), bytes));
    EXPECT_EQ("[read_eof]\na.exe=1\n", bytes);
}

} // namespace
