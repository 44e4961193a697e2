// The error-code page: the list the page builds, checked against the reference table.
#include "tests/dialogs/dialog_helpers.h"
#include "tests/dialogs/import_patch.h"

#include "dialogs/dlg_err_msg.h"
#include "dialogs/dpi_scale.h"
#include "dialogs/list_view.h"
#include "dialogs/window_dc.h"
#include "tests/common/reference_rows.h"

#include <gtest/gtest.h>

#include <iterator>

// ---- the page ------------------------------------------------------------------------

namespace {

int default_beeps = 0;
BOOL WINAPI count_beep(UINT type) { default_beeps += type == MB_OK; return TRUE; }

class error_page_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        ASSERT_NE(host.create(), nullptr);
        page.parent = host.hwnd;
        ASSERT_NE(page.create(), nullptr);
        list = page.list_ctrl;
    }

    recording_dialog host{IDD_MAIN, nullptr};
    init_answer_probe<dlg_err_msg> page{nullptr};
    HWND list = nullptr;
};

// How many pixels of the list's rows (below its header) are dark enough to be text.
int dark_row_pixels(HWND list)
{
    RECT client{};
    GetClientRect(list, &client);
    const RECT header = window_rect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)));
    const window_dc dc(list);
    int dark = 0;
    for (int y = header.bottom - header.top; y < client.bottom; y += 2)
        for (int x = 0; x < client.right; x += 2) {
            const COLORREF c = GetPixel(dc.get(), x, y); // CLR_INVALID, off the screen, is white
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100)
                ++dark;
        }
    return dark;
}

} // namespace

TEST_F(error_page_test, ListIsTheControlOfTheTemplate)
{
    EXPECT_EQ(list, GetDlgItem(page.hwnd, IDC_ERR_LIST));
    EXPECT_EQ(page.init_answer, 1);
    EXPECT_EQ(page.template_id, IDD_ERR_MSG);
    EXPECT_FALSE(has_style(page.hwnd, WS_VISIBLE)); // the main window shows it
    EXPECT_TRUE(has_style(page.hwnd, WS_CHILD));

    const LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_EQ(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS),
              0);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    EXPECT_TRUE(placed_as_template(list, 7, 7, 355, 253));
}

TEST_F(error_page_test, ThreeColumnsWithTitlesAndWidthsAt96Dpi)
{
    if (window_dpi(list) != 96)
        GTEST_SKIP() << "display is not at 96 DPI";
    const struct {
        const char* title;
        int width;
    } columns[] = {{"序号", 40}, {"错误代码（十/十六进制）", 150}, {"错误描述", 319}};
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
    const struct {
        int pixels, dpi, expected;
    } cases[] = {{40, 96, 40},   {150, 96, 150},  {319, 96, 319}, {40, 144, 60},
                 {319, 120, 399}, {150, 120, 188}, {40, 192, 80}};
    for (const auto& c : cases)
        EXPECT_EQ(scale_pixels(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
}

TEST(dpi_scale, WindowDpiIsTheScreensAndNinetySixWhenNothingAnswers)
{
    const int screen_dpi = GetDeviceCaps(window_dc(nullptr).get(), LOGPIXELSY);
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);

    EXPECT_EQ(window_dpi(dialog.hwnd), screen_dpi) << "a window on the screen";
    EXPECT_EQ(window_dpi(nullptr), screen_dpi) << "no window: the screen's";
    // A handle that names no window has neither a DPI nor a device context.
    EXPECT_EQ(window_dpi(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFFFFF0))), 96);
}

TEST_F(error_page_test, EveryRowMatchesTheReferenceTable)
{
    ASSERT_EQ(list_row_count(list), static_cast<int>(std::size(reference_rows)));
    for (const reference_row& r : reference_rows) {
        const int index = r.row - 1;
        EXPECT_EQ(list_cell_text(list, index, 0), std::to_wstring(r.row));
        EXPECT_EQ(list_cell_text(list, index, 1), code_cell(r)) << "row " << r.row;
        EXPECT_EQ(list_cell_text(list, index, 2), r.message) << "row " << r.row;
    }
}

TEST_F(error_page_test, AnotherRowIsNumberedAfterThosePresent)
{
    page.add_error_row(0x010A, "x");
    ASSERT_EQ(list_row_count(list), 54);
    EXPECT_EQ(list_cell_text(list, 53, 0), L"54");
    EXPECT_EQ(list_cell_text(list, 53, 1), L"00266   -   0x010A");
    EXPECT_EQ(list_cell_text(list, 53, 2), L"x");
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
    EXPECT_EQ(list_cell_text(list, 0, 0), L"1");
    EXPECT_EQ(list_cell_text(list, 52, 0), L"53");
}

// The rows are filled with drawing switched off; the user must still see them once the
// page shows (a list left with drawing off stays blank).
TEST_F(error_page_test, RowsAreDrawnOnceShown)
{
    ShowWindow(host.hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(host.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(page.hwnd, SW_SHOW);
    UpdateWindow(host.hwnd);
    UpdateWindow(list);
    pump_messages();

    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_GT(dark_row_pixels(list), 100);
    ShowWindow(host.hwnd, SW_HIDE);
}

// Keys typed into the list, times chosen by the test: '|' is a pause of twice the
// double-click time, other keys come 10 ms apart; the first case's keys come just before
// the millisecond count wraps. Every case starts after a pause, with every row selected.
TEST_F(error_page_test, TypedKeysSelectTheRowOfTheCodeTypedSoFar)
{
    const struct {
        const wchar_t* keys;
        int code, beeps;
    } cases[] = {
        {L"25", 256, 0},        // each key extends the code
        {L"2|5", 56832, 0},     // after a pause a new code begins
        {L"de0a5", 56832, 0},   // "de0a5" fits no code: "5" begins the next
        {L"de0ga", 0xDE0A, 1},  // "g" fits none: a beep, and the code so far stays
        {L"2\x03 57", 257, 0}, // Ctrl+C's character and the space are the list's
    };
    const DWORD pause = 2 * GetDoubleClickTime();
    DWORD time = 0u - 40 - pause;
    const import_patch beep("user32.dll", "MessageBeep", &count_beep);
    ASSERT_TRUE(beep.active());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.keys)));
        page.select_all_rows();
        default_beeps = 0;
        time += pause;
        for (const wchar_t* key = c.keys; *key; ++key) {
            time += *key == L'|' ? pause : 10;
            EXPECT_TRUE(*key == L'|' || page.on_list_char(*key, time) == (*key > L' ')) << int(*key);
        }
        const int row = row_of_code(c.code) - 1;
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_FOCUSED),
                  LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0), row);
        EXPECT_EQ(default_beeps, c.beeps);
    }
}
