// The error-code page: the table itself, and the list the page builds from it.
#include "tests/dialogs/dialog_helpers.h"

#include "dialogs/dlg_err_msg.h"
#include "dialogs/dpi_scale.h"
#include "dialogs/error_table.h"
#include "resources/resource.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

// ---- the table -----------------------------------------------------------------------

TEST(error_table, CodesFormFourConsecutiveRuns)
{
    struct run {
        std::int32_t first;
        std::size_t length;
    };
    const run runs[] = {{0x0000, 1}, {0x0100, 23}, {0x5B00, 3}, {0xDE00, 26}};
    std::size_t row = 0;
    for (const run& r : runs)
        for (std::size_t i = 0; i < r.length; ++i, ++row)
            EXPECT_EQ(error_table.at(row).code, r.first + static_cast<std::int32_t>(i)) << "row " << row + 1;
    EXPECT_EQ(row, error_table.size());
}

TEST(error_table, MessagesAreValidUtf8AndNotEmpty)
{
    for (const error_entry& entry : error_table) {
        const std::string bytes = entry.message;
        ASSERT_FALSE(bytes.empty()) << entry.code;
        // Strict conversion fails on malformed UTF-8 instead of substituting.
        EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0),
                  0)
            << entry.code;
    }
}

// ---- the page ------------------------------------------------------------------------

namespace {

class error_page_test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(host.create(), nullptr);
        page.parent = host.hwnd;
        page.hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ERR_MSG), host.hwnd,
                                       base_dialog_proc, reinterpret_cast<LPARAM>(&page));
        ASSERT_NE(page.hwnd, nullptr);
        list = page.list_ctrl;
    }

    std::wstring cell(int row, int column) const
    {
        wchar_t text[256] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = 256;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }

    int row_count() const { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

    recording_dialog host{IDD_MAIN, nullptr};
    dlg_err_msg page{nullptr};
    HWND list = nullptr;
};

// The code column built independently of the page's own formatting.
std::wstring expected_code_text(std::int32_t code)
{
    std::wostringstream text;
    text << std::setw(5) << std::setfill(L'0') << code << L"   -   0x" << std::uppercase << std::hex << std::setw(4)
         << code;
    return text.str();
}

} // namespace

TEST_F(error_page_test, ListIsTheControlOfTheTemplate)
{
    EXPECT_EQ(list, GetDlgItem(page.hwnd, IDC_ERR_LIST));
    EXPECT_EQ(page.template_id, IDD_ERR_MSG);
    EXPECT_FALSE(has_style(page.hwnd, WS_VISIBLE)); // shown by the main window, not by itself
    EXPECT_TRUE(has_style(page.hwnd, WS_CHILD));

    const LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS),
              0);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, 0x21);

    const RECT expected = dialog_units_to_client(page.hwnd, 7, 7, 355, 253);
    const RECT actual = client_rect_in_parent(list);
    EXPECT_TRUE(EqualRect(&expected, &actual));
}

TEST_F(error_page_test, ThreeColumnsWithTitlesAndWidthsAt96Dpi)
{
    if (window_dpi(list) != 96)
        GTEST_SKIP() << "display is not at 96 DPI";
    struct column_case {
        const char* title;
        int width;
    };
    const column_case columns[] = {{"序号", 40}, {"错误代码（十/十六进制）", 150}, {"错误描述", 319}};
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(std::wstring(text), utf8_to_wide(columns[i].title)) << i;
        EXPECT_EQ(column.cx, columns[i].width) << i;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << i;
    }
    LVCOLUMNW fourth{};
    fourth.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 3, reinterpret_cast<LPARAM>(&fourth)));
}

TEST(dpi_scale, WidthsScaleWithTheDpiAndStayAt96)
{
    struct scale_case {
        int pixels;
        int dpi;
        int expected;
    };
    const scale_case cases[] = {{40, 96, 40}, {150, 96, 150}, {319, 96, 319}, {40, 144, 60},
                                {319, 120, 399}, {150, 120, 188}, {40, 192, 80}};
    for (const scale_case& c : cases)
        EXPECT_EQ(scale_pixels(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
}

TEST_F(error_page_test, FiftyThreeRowsNumberedInTableOrder)
{
    ASSERT_EQ(row_count(), 53);
    for (int row = 0; row < 53; ++row) {
        EXPECT_EQ(cell(row, 0), std::to_wstring(row + 1));
        EXPECT_EQ(cell(row, 1), expected_code_text(error_table[static_cast<std::size_t>(row)].code));
        EXPECT_EQ(cell(row, 2), utf8_to_wide(error_table[static_cast<std::size_t>(row)].message));
    }
}

TEST_F(error_page_test, KnownRowsShowExactCells)
{
    struct row_case {
        int row; // 1-based, as shown
        const char* number;
        const char* code;
        const char* message;
    };
    const row_case rows[] = {
        {1, "1", "00000   -   0x0000", "操作成功"},
        {12, "12", "00266   -   0x010A", "没有数据"},
        {15, "15", "00269   -   0x010D", "IO错误，请重启设备或拔插USB"},
        {25, "25", "23296   -   0x5B00", "USB通信初始化失败"},
        {43, "43", "56847   -   0xDE0F", "设备没取到图"},
        {53, "53", "56857   -   0xDE19", "请稍等-设备正在准备中"},
    };
    for (const row_case& r : rows) {
        EXPECT_EQ(cell(r.row - 1, 0), utf8_to_wide(r.number));
        EXPECT_EQ(cell(r.row - 1, 1), utf8_to_wide(r.code));
        EXPECT_EQ(cell(r.row - 1, 1).size(), 18u);
        EXPECT_EQ(cell(r.row - 1, 2), utf8_to_wide(r.message));
    }
}

TEST_F(error_page_test, AnotherRowIsNumberedAfterThosePresent)
{
    page.add_error_row(0x010A, "x");
    ASSERT_EQ(row_count(), 54);
    EXPECT_EQ(cell(53, 0), L"54");
    EXPECT_EQ(cell(53, 1), L"00266   -   0x010A");
    EXPECT_EQ(cell(53, 2), L"x");
}

TEST_F(error_page_test, NotificationsAndCommandsAreSwallowed)
{
    NMHDR click{list, static_cast<UINT_PTR>(IDC_ERR_LIST), static_cast<UINT>(LVN_COLUMNCLICK)};
    EXPECT_EQ(page.handle_message(WM_NOTIFY, IDC_ERR_LIST, reinterpret_cast<LPARAM>(&click)), 1);
    EXPECT_EQ(page.handle_message(WM_COMMAND, IDOK, 0), 1);
    EXPECT_EQ(page.handle_message(WM_SIZE, 0, 0), 0);
    EXPECT_EQ(page.handle_message(WM_CTLCOLORDLG, 0, 0), 0);

    // A header click through the real control changes nothing: the list is not sorted.
    SendMessageW(page.hwnd, WM_NOTIFY, IDC_ERR_LIST, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(cell(0, 0), L"1");
    EXPECT_EQ(cell(52, 0), L"53");
}
