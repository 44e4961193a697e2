// The read_eof list as the page's editable text, and the key writes the text asks for.
#include "config/read_eof_text.h"
#include "config/cfg_keys.h"
#include "config/cfg_settings.h"
#include "config/read_eof.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using writes = std::vector<std::pair<std::wstring, std::wstring>>;

// Every line counts when nothing is shown.
writes all_writes(const std::wstring& text) { return changed_read_eof_writes(text, L"", L""); }

TEST(ReadEofText, HeaderThenOneCrLfLinePerItemInListOrder)
{
    EXPECT_EQ(L"[read_eof]\r\n", read_eof_text({}));
    EXPECT_EQ(L"[read_eof]\r\nb.exe=0\r\na.exe=1\r\n", read_eof_text({{false, L"b.exe"}, {true, L"a.exe"}}));
    EXPECT_EQ(L"[read_eof]\r\n扫描 程序.exe=1\r\n", read_eof_text({{true, L"扫描 程序.exe"}}));
}

TEST(ReadEofText, ParsingTheShownTextGivesBackEveryItem)
{
    const std::vector<read_eof_item> items = {
        {false, L"b.exe"}, {true, L"a.exe"}, {true, L" spaced .exe"}, {false, L"扫描.exe"}};
    const writes expected = {{L"b.exe", L"0"}, {L"a.exe", L"1"}, {L" spaced .exe", L"1"}, {L"扫描.exe", L"0"}};
    EXPECT_EQ(expected, all_writes(read_eof_text(items)));
    EXPECT_TRUE(all_writes(read_eof_text({})).empty());
}

struct parse_case {
    const wchar_t* name;
    std::wstring text;
    writes expected;
};

TEST(ParseReadEofText, ValueIsOnOnlyWhenExactlyOne)
{
    const parse_case cases[] = {
        {L"word true", L"[read_eof]\r\na.exe=true\r\n", {{L"a.exe", L"0"}}},
        {L"blank before 1", L"[read_eof]\r\na.exe= 1\r\n", {{L"a.exe", L"0"}}},
        {L"blank after 1", L"[read_eof]\r\na.exe=1 \r\n", {{L"a.exe", L"0"}}},
        {L"exactly 1", L"[read_eof]\r\na.exe=1\r\n", {{L"a.exe", L"1"}}},
        {L"empty value", L"[read_eof]\r\na.exe=\r\n", {{L"a.exe", L"0"}}},
        {L"leading zero", L"[read_eof]\r\na.exe=01\r\n", {{L"a.exe", L"0"}}},
        {L"blanks kept in key", L"[read_eof]\r\n a.exe =1\r\n", {{L" a.exe ", L"1"}}},
        {L"split at first equals", L"[read_eof]\r\nk=a=b\r\nk==1\r\n", {{L"k", L"0"}, {L"k", L"0"}}},
    };
    for (const parse_case& c : cases)
        EXPECT_EQ(c.expected, all_writes(c.text)) << c.name;
}

TEST(ParseReadEofText, LinesAndHeader)
{
    const parse_case cases[] = {
        {L"no header", L"a.exe=1\r\nb.exe=0\r\n", {}},
        {L"header without CR LF", L"[read_eof]", {}},
        {L"header with LF only", L"[read_eof]\na.exe=1\r\n", {}},
        {L"header in other case", L"[READ_EOF]\r\na.exe=1\r\n", {}},
        {L"header only", L"[read_eof]\r\n", {}},
        {L"no line with equals", L"[read_eof]\r\na.exe\r\n\r\nb.exe 1\r\n", {}},
        {L"line without equals skipped", L"[read_eof]\r\na.exe\r\nb.exe=1\r\n", {{L"b.exe", L"1"}}},
        {L"empty lines skipped", L"[read_eof]\r\n\r\na.exe=1\r\n\r\n", {{L"a.exe", L"1"}}},
        {L"last line without CR LF", L"[read_eof]\r\na.exe=1\r\nb.exe=1", {{L"a.exe", L"1"}, {L"b.exe", L"1"}}},
        {L"text before the header ignored", L"junk=1\r\n[read_eof]\r\na.exe=0\r\n", {{L"a.exe", L"0"}}},
        {L"first header counts, a second is a line",
         L"[read_eof]\r\na.exe=1\r\n[read_eof]\r\nb.exe=0\r\n",
         {{L"a.exe", L"1"}, {L"b.exe", L"0"}}},
        {L"header in the middle of a line", L"x[read_eof]\r\na.exe=1\r\n", {{L"a.exe", L"1"}}},
        {L"lone LF stays in the line", L"[read_eof]\r\nx.exe\n[log]\nlevel=1\r\n", {{L"x.exe\n[log]\nlevel", L"1"}}},
        {L"empty key kept for the writer to refuse", L"[read_eof]\r\n=1\r\n", {{L"", L"1"}}},
        {L"order kept, duplicates kept", L"[read_eof]\r\nb=1\r\na=0\r\nb=0\r\n",
         {{L"b", L"1"}, {L"a", L"0"}, {L"b", L"0"}}},
    };
    for (const parse_case& c : cases)
        EXPECT_EQ(c.expected, all_writes(c.text)) << c.name;
}

// Only what the user added or changed since the box was filled, and only where the file
// does not hold it now.

struct changed_case {
    const wchar_t* name;
    std::wstring text, shown;
    writes expected;
};

TEST(ChangedReadEofWrites, UntouchedLinesAreNeverWritten)
{
    const std::wstring shown = L"[read_eof]\r\na.exe=1\r\na.exe=0\r\nb.exe=0\r\n";
    const changed_case cases[] = {
        {L"nothing changed", shown, shown, {}},
        {L"no final CR LF", L"[read_eof]\r\na.exe=1\r\na.exe=0\r\nb.exe=0", shown, {}},
        {L"lines reordered", L"[read_eof]\r\nb.exe=0\r\na.exe=0\r\na.exe=1\r\n", shown, {}},
        {L"a line deleted", L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\n", shown, {}},
        {L"one value changed", L"[read_eof]\r\na.exe=1\r\na.exe=0\r\nb.exe=1\r\n", shown, {{L"b.exe", L"1"}}},
        {L"a line added", shown + L"c.exe=1\r\n", shown, {{L"c.exe", L"1"}}},
        // A second equal line is one more than the file shows: it counts as added.
        {L"a duplicate added", shown + L"b.exe=0\r\n", shown, {{L"b.exe", L"0"}}},
        {L"changed spelling of the same value", L"[read_eof]\r\na.exe=1\r\na.exe=0\r\nb.exe=no\r\n", shown,
         {{L"b.exe", L"0"}}},
        {L"text before the header ignored", L"x=1\r\n" + shown, shown, {}},
        {L"no header", L"a.exe=1\r\nz.exe=1\r\n", shown, {}},
        {L"a second header is a line without equals", shown + L"[read_eof]\r\n", shown, {}},
        {L"everything new against an empty list", L"[read_eof]\r\na.exe=1\r\n", L"[read_eof]\r\n",
         {{L"a.exe", L"1"}}},
    };
    // The file as the box showed it: both comparisons agree.
    for (const changed_case& c : cases)
        EXPECT_EQ(c.expected, changed_read_eof_writes(c.text, c.shown, c.shown)) << c.name;
}

TEST(ChangedReadEofWrites, AnotherProgramsChangeIsNeitherUndoneNorRepeated)
{
    // The box was filled with a.exe=1 and b.exe=0; then another program changed the file.
    const std::wstring shown = L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\n";
    const struct {
        const wchar_t* name;
        std::wstring text, now;
        writes expected;
    } cases[] = {
        {L"a line added after a.exe changed", shown + L"c.exe=1\r\n", L"[read_eof]\r\na.exe=0\r\nb.exe=0\r\n",
         {{L"c.exe", L"1"}}},
        {L"a line added after a.exe was removed", shown + L"c.exe=1\r\n", L"[read_eof]\r\nb.exe=0\r\n",
         {{L"c.exe", L"1"}}},
        {L"the same change made here and there", L"[read_eof]\r\na.exe=0\r\nb.exe=0\r\n",
         L"[read_eof]\r\na.exe=0\r\nb.exe=0\r\n", {}},
        {L"a line the other program added too", shown + L"c.exe=1\r\n",
         L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\nc.exe=1\r\n", {}},
        {L"one of two equal lines the file holds once", shown + L"b.exe=1\r\nb.exe=1\r\n",
         L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\nb.exe=1\r\n", {{L"b.exe", L"1"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, changed_read_eof_writes(c.text, shown, c.now)) << c.name;
}

// Through the file: what the text asks for lands in section "read_eof" and is read back
// by the program's own reader.

TEST(ReadEofTextOnDisk, TextWrittenKeyByKeyReadsBackAsTheSameList)
{
    temp_dir dir;
    const std::wstring path = dir.file(L"debug.cfg");
    for (const auto& [key, value] :
         all_writes(L"[read_eof]\r\nb.exe=0\r\na.exe=1\r\nc.exe=true\r\nskipped\r\n"))
        ASSERT_TRUE(write_cfg_value(path, cfg::section_read_eof, key, value));
    EXPECT_EQ("[read_eof]\r\nb.exe=0\r\na.exe=1\r\nc.exe=0\r\n", read_file_bytes(path));

    std::vector<read_eof_item> list;
    read_eof_list(path, list);
    // The reader orders by key; the shown text follows it.
    EXPECT_EQ(L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\nc.exe=0\r\n", read_eof_text(list));
}

} // namespace
