// The error-code page: the list the page builds, checked against the reference table.
#include "tests/dialogs/dialog_helpers.h"

#include "dialogs/dlg_err_msg.h"
#include "dialogs/dpi_scale.h"
#include "resources/resource.h"
#include "tests/common/reference_rows.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <iterator>

// ---- the page ------------------------------------------------------------------------

namespace {

class error_page_test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(host.create(), nullptr);
        page.parent = host.hwnd;
        ASSERT_NE(page.create(), nullptr);
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
    init_answer_probe<dlg_err_msg> page{nullptr};
    HWND list = nullptr;
};

} // namespace

TEST_F(error_page_test, ListIsTheControlOfTheTemplate)
{
    EXPECT_EQ(list, GetDlgItem(page.hwnd, IDC_ERR_LIST));
    EXPECT_EQ(page.init_answer, 1);
    EXPECT_EQ(page.template_id, IDD_ERR_MSG);
    EXPECT_FALSE(has_style(page.hwnd, WS_VISIBLE)); // shown by the main window, not by itself
    EXPECT_TRUE(has_style(page.hwnd, WS_CHILD));

    const LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS),
              0);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

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

TEST(dpi_scale, WindowDpiIsTheScreensAndNinetySixWhenNothingAnswers)
{
    const HDC screen = GetDC(nullptr);
    const int screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);

    EXPECT_EQ(window_dpi(dialog.hwnd), screen_dpi) << "a window on the screen";
    EXPECT_EQ(window_dpi(nullptr), screen_dpi) << "no window: the screen's";
    // A handle that names no window has neither a DPI nor a device context.
    EXPECT_EQ(window_dpi(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFFFFF0))), 96);
}

TEST_F(error_page_test, EveryRowMatchesTheReferenceTable)
{
    ASSERT_EQ(row_count(), static_cast<int>(std::size(reference_rows)));
    for (const reference_row& r : reference_rows) {
        const int index = r.row - 1;
        EXPECT_EQ(cell(index, 0), std::to_wstring(r.row));
        EXPECT_EQ(cell(index, 1), code_cell(r)) << "row " << r.row;
        EXPECT_EQ(cell(index, 2), r.message) << "row " << r.row;
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

namespace {

// How many pixels of the list's rows (below its header) are dark enough to be text.
int dark_row_pixels(HWND list)
{
    RECT client{};
    GetClientRect(list, &client);
    RECT header{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
    const int top = header.bottom - header.top;
    const int width = client.right;
    const int height = client.bottom - top;
    if (width <= 0 || height <= 0)
        return 0;

    const HDC window_dc = GetDC(list);
    const HDC memory_dc = CreateCompatibleDC(window_dc);
    const HBITMAP bitmap = CreateCompatibleBitmap(window_dc, width, height);
    const HGDIOBJ old = SelectObject(memory_dc, bitmap);
    BitBlt(memory_dc, 0, 0, width, height, window_dc, 0, top, SRCCOPY);
    int dark = 0;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2) {
            const COLORREF c = GetPixel(memory_dc, x, y);
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100)
                ++dark;
        }
    SelectObject(memory_dc, old);
    DeleteObject(bitmap);
    DeleteDC(memory_dc);
    ReleaseDC(list, window_dc);
    return dark;
}

} // namespace

// The rows are filled with drawing switched off; the user must still see them once the
// page shows (a list left with drawing off stays blank).
TEST_F(error_page_test, RowsAreDrawnOnceShown)
{
    ShowWindow(host.hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(host.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(page.hwnd, SW_SHOW);
    UpdateWindow(host.hwnd);
    UpdateWindow(list);
    drain_queue();

    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_GT(dark_row_pixels(list), 100);
    ShowWindow(host.hwnd, SW_HIDE);
}
