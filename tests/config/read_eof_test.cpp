// The process list taken from the "read_eof" section of debug.cfg.
#include "config/read_eof.h"

#include "config/file_text.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

// "name=1 " / "name=0 " per row, in list order.
std::wstring rows(const std::vector<read_eof_item>& list)
{
    std::wstring out;
    for (const read_eof_item& item : list)
        out += item.name + (item.enabled ? L"=1 " : L"=0 ");
    return out;
}

class ReadEofFile : public testing::Test {
protected:
    std::wstring list_of(const std::string& bytes)
    {
        write_file_bytes(path, bytes);
        read_eof_list(path, list);
        return rows(list);
    }

    temp_dir dir;
    std::wstring path = dir.file(L"debug.cfg");
    std::vector<read_eof_item> list;
};

TEST_F(ReadEofFile, SectionsThatDoAndDoNotCount)
{
    const struct {
        const char* label;
        std::string bytes;
        const wchar_t* expected;
    } cases[] = {
        {"upper case before lower case", "[read_eof]\r\nb.exe=1\r\nA.exe=0\r\n", L"A.exe=0 b.exe=1 "},
        {"blanks around =", "[read_eof]\nx.exe = 1 \n", L"x.exe=1 "},
        {"header with trailing text", "[read_eof] // note\nx.exe=1\n", L"x.exe=1 "},
        {"other case", "[READ_EOF]\nx.exe=1\n", L""},
        {"blanks inside brackets", "[ read_eof ]\nx.exe=1\n", L""},
        {"header without ]", "[read_eof\nx.exe=1\n", L""},
        {"comments inside the section", "[read_eof]\n# a.exe=1\n  // b.exe=1\nc.exe=1\n", L"c.exe=1 "},
        {"; starts a key", "[read_eof]\n;d.exe=1\n", L";d.exe=1 "},
        {"two sections merged", "[read_eof]\nb.exe=1\n[log]\nlevel=all\n[read_eof]\na.exe=0\n", L"a.exe=0 b.exe=1 "},
        {"duplicate keys", "[read_eof]\na.exe=1\na.exe=1\n", L"a.exe=1 a.exe=1 "},
        {"empty section", "[read_eof]\n# nothing\n[log]\nlevel=all\n", L""},
        {"entries before the first header", "a.exe=1\n[read_eof]\n", L""},
        {"UTF-8 mark hides the header", "\xEF\xBB\xBF[read_eof]\r\na.exe=1\r\n", L""},
        {"UTF-8 mark, later header", "\xEF\xBB\xBF[log]\r\nlevel=all\r\n[read_eof]\r\na.exe=1\r\n", L"a.exe=1 "},
        {"UTF-16LE file", "\xFF\xFE[\0r\0e\0a\0d\0_\0e\0o\0f\0]\0\r\0\n\0a\0=\0\x31\0\r\0\n\0"s, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(c.expected, list_of(c.bytes));
    }
}

TEST_F(ReadEofFile, OnlyALone1Enables)
{
    EXPECT_EQ(L"a=0 b=0 c=0 d=0 e=0 f=0 g=1 h=0 ",
              list_of("[read_eof]\na=0\nb=2\nc=\nd=true\ne=01\nf=1 x\ng=1\nh=1=1\n"));
}

TEST_F(ReadEofFile, NamesFollowTheAnsiCodePage)
{
    if (GetACP() == 936) {
        // Names in GBK / 1252 bytes sort after ASCII and come back as wide text.
        EXPECT_EQ(utf8_to_wide("z.exe=0 扫描.exe=1 "), list_of("[read_eof]\n\xC9\xA8\xC3\xE8.exe=1\nz.exe=0\n"));
    } else if (GetACP() == 1252) {
        EXPECT_EQ(L"z.exe=0 \u00e9t\u00e9.exe=1 ", list_of("[read_eof]\n\xE9t\xE9.exe=1\nz.exe=0\n"));
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
    // The raw text opens the wide path and still shows the file.
    EXPECT_EQ(L"[read_eof]\na.exe=1\n", read_cfg_raw_text(real + L"\\debug.cfg"));
}

} // namespace
