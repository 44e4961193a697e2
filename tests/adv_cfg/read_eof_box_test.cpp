// The process list: shown as text in its box (and in the hidden list view), edited
// as text, written one key per line.
#include "tests/adv_cfg/page_fixture.h"

#include "dialogs/list_view.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class adv_cfg_read_eof : public page_fixture {
protected:
    std::vector<std::wstring> list_rows() const
    {
        std::vector<std::wstring> rows;
        HWND list = item(IDC_READ_EOF_LIST);
        for (int row = 0; row < list_row_count(list); ++row)
            rows.push_back(list_cell_text(list, row, 0) + L"|" + list_cell_text(list, row, 1));
        return rows;
    }
};

TEST_F(adv_cfg_read_eof, shown_in_key_order_once_however_many_refreshes)
{
    open_page("[read_eof]\r\nb.exe=0\r\na.exe=1\r\n");
    for (int refresh = 0; refresh < 5; ++refresh) {
        SCOPED_TRACE(refresh);
        EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\na.exe=1\r\nb.exe=0\r\n");
        EXPECT_EQ(list_rows(), (std::vector<std::wstring>{L"a.exe|true", L"b.exe|false"}));
        tick(IDC_CPU_ADVANCED, refresh % 2 != 0);
    }
}

TEST_F(adv_cfg_read_eof, each_line_writes_its_key_and_the_box_shows_the_file_again)
{
    const struct {
        const char* name;
        std::string file;
        std::wstring typed;
        std::string written;
        std::wstring shown;
    } cases[] = {
        {"only exactly 1 is on, lines without equals are skipped", "[read_eof]\r\n",
         L"[read_eof]\r\na.exe=true\r\nb.exe= 1\r\nc.exe=1 \r\nd.exe=1\r\nno-equals\r\nk=a=b",
         "[read_eof]\r\na.exe=0\r\nb.exe=0\r\nc.exe=0\r\nd.exe=1\r\nk=0\r\n",
         L"[read_eof]\r\na.exe=0\r\nb.exe=0\r\nc.exe=0\r\nd.exe=1\r\nk=0\r\n"},
        // Writing only adds or changes keys.
        {"a deleted line comes back", "[read_eof]\r\na.exe=1\r\nb.exe=0\r\n", L"[read_eof]\r\na.exe=0\r\n",
         "[read_eof]\r\na.exe=0\r\nb.exe=0\r\n", L"[read_eof]\r\na.exe=0\r\nb.exe=0\r\n"},
        {"header anywhere and a last line without line end", "", L"ignored=1\r\n[read_eof]\r\nz.exe=1",
         "[read_eof]\r\nz.exe=1\r\n", L"[read_eof]\r\nz.exe=1\r\n"},
        // The profile functions match the section without regard to case, the reader exactly.
        {"section in other case takes the writes but shows nothing", "[READ_EOF]\r\na.exe=0\r\n",
         L"[read_eof]\r\na.exe=1\r\n", "[READ_EOF]\r\na.exe=1\r\n", L"[read_eof]\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open_page(c.file);
        type(IDC_READ_EOF_TEXT, c.typed);
        EXPECT_EQ(file_bytes(), c.written);
        EXPECT_EQ(text(IDC_READ_EOF_TEXT), c.shown);
    }
}

TEST_F(adv_cfg_read_eof, texts_that_write_nothing_keep_the_box_as_typed)
{
    const std::string file = "[read_eof]\r\na.exe=1\r\n";
    const wchar_t* texts[] = {
        L"a.exe=0\r\nb.exe=1\r\n",             // no header
        L"[read_eof]a.exe=0\r\n",              // header without its line end
        L"[READ_EOF]\r\na.exe=0\r\n",          // header in other case
        L"[read_eof]\r\n",                     // nothing after the header
        L"[read_eof]\r\njust text\r\nmore\r\n", // no line holds "="
    };
    open_page(file);
    for (const wchar_t* typed : texts) {
        SCOPED_TRACE(testing::Message() << typed);
        type(IDC_READ_EOF_TEXT, typed);
        EXPECT_EQ(file_bytes(), file);
        EXPECT_EQ(text(IDC_READ_EOF_TEXT), typed);
    }
}

TEST_F(adv_cfg_read_eof, refused_keys_write_nothing_and_the_rest_is_written)
{
    const std::string file = "[log]\r\nlevel=debug\r\n[read_eof]\r\na.exe=1\r\n";
    open_page(file);
    // A lone LF inside a line, and keys starting with "[", would inject sections.
    type(IDC_READ_EOF_TEXT,
         L"[read_eof]\r\n[log]=1\r\n  [cpu]=0\r\nx.exe\n[log]\nlevel=1\r\ny.exe\r=1\r\n=1\r\nok.exe=1\r\n");
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=debug\r\n[read_eof]\r\na.exe=1\r\nok.exe=1\r\n");
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\na.exe=1\r\nok.exe=1\r\n");
    // Only refused lines: counted, so the box is refreshed, but nothing is written.
    type(IDC_READ_EOF_TEXT, L"[read_eof]\r\n[x]=1\r\n");
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\na.exe=1\r\nok.exe=1\r\n");
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 1);
}

TEST_F(adv_cfg_read_eof, chinese_process_names_under_code_page_936)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs code page 936";
    open_page("");
    type(IDC_READ_EOF_TEXT, w("[read_eof]\r\n扫描仪.exe=1\r\n"));
    EXPECT_EQ(file_bytes(), "[read_eof]\r\n" + wide_to_code_page(w("扫描仪.exe"), 936) + "=1\r\n");
    EXPECT_EQ(list_rows(), (std::vector<std::wstring>{w("扫描仪.exe|true")}));
}

TEST_F(adv_cfg_read_eof, hidden_list_follows_every_load)
{
    prepare("[read_eof]\r\nc.exe=1\r\na.exe=0\r\nb.exe=1\r\n", L"VeltaScan");
    prepare("[read_eof]\r\nz.exe=0\r\n", L"MorvelScan");
    prepare("[log]\r\nlevel=all\r\n", L"PestraScan");
    open_page();
    const std::vector<std::wstring> three{L"a.exe|false", L"b.exe|true", L"c.exe|true"};
    EXPECT_EQ(list_rows(), three);
    choose(IDC_OEM, 1);
    EXPECT_EQ(list_rows(), (std::vector<std::wstring>{L"z.exe|false"}));
    choose(IDC_OEM, 2);
    EXPECT_EQ(list_rows(), std::vector<std::wstring>{});
    choose(IDC_OEM, 0);
    EXPECT_EQ(list_rows(), three);
    type(IDC_READ_EOF_TEXT, L"[read_eof]\r\n0.exe=1\r\n");
    EXPECT_EQ(list_rows(), (std::vector<std::wstring>{L"0.exe|true", L"a.exe|false", L"b.exe|true", L"c.exe|true"}));
    EXPECT_EQ(GetWindowLongW(item(IDC_READ_EOF_LIST), GWL_STYLE) & WS_VISIBLE, 0) << "the list stays hidden";
}

TEST_F(adv_cfg_read_eof, refresh_keeps_unchanged_rows_and_leaves_the_list_drawing)
{
    open_page("[read_eof]\r\na.exe=1\r\nb.exe=0\r\nc.exe=1\r\n");
    HWND list = item(IDC_READ_EOF_LIST);
    // On screen, so that it paints: a refresh must leave it drawing.
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    ShowWindow(page->hwnd, SW_SHOWNOACTIVATE);
    ShowWindow(list, SW_SHOWNOACTIVATE);
    // Whether the list still paints: a row it redraws must leave something to paint.
    const auto repaints = [list] {
        UpdateWindow(list);
        SendMessageW(list, LVM_REDRAWITEMS, 0, 0);
        RECT pending{};
        return GetUpdateRect(list, &pending, FALSE) != FALSE;
    };
    ASSERT_TRUE(repaints());
    ListView_SetItemState(list, 2, LVIS_SELECTED, LVIS_SELECTED);

    tick(IDC_CPU_ADVANCED, false); // a write, and a refresh that leaves the rows as they are
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2)
        << "the selected row survives";
    EXPECT_TRUE(repaints()) << "drawing switched back on";
    EXPECT_EQ(list_rows(), (std::vector<std::wstring>{L"a.exe|true", L"b.exe|false", L"c.exe|true"}));

    // A refresh that does change rows still ends with the list drawing.
    type(IDC_READ_EOF_TEXT, L"[read_eof]\r\na.exe=1\r\nb.exe=1\r\nc.exe=1\r\nd.exe=0\r\n");
    EXPECT_TRUE(repaints());
    EXPECT_EQ(list_rows(), (std::vector<std::wstring>{L"a.exe|true", L"b.exe|true", L"c.exe|true", L"d.exe|false"}));
}
