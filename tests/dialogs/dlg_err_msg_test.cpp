// The error-code page: the list the page builds, checked against the reference table.
#include "tests/dialogs/dialog_helpers.h"

#include "dialogs/dlg_err_msg.h"
#include "dialogs/dpi_scale.h"
#include "resources/resource.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <iterator>
#include <sstream>

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

namespace {

// The reference list of the scanner's result and status codes, copied by hand: row,
// code in decimal and in hexadecimal, message. The commas in messages are full-width.
struct reference_row {
    int row;
    int code;
    const wchar_t* hex;
    const wchar_t* message;
};

const reference_row reference_rows[] = {
    {1, 0, L"0x0000", L"操作成功"},
    {2, 256, L"0x0100", L"非法的参数调用"},
    {3, 257, L"0x0101", L"操作被取消"},
    {4, 258, L"0x0102", L"内存不足或内存分配失败"},
    {5, 259, L"0x0103", L"访问被拒绝"},
    {6, 260, L"0x0104", L"异步访问，数据稍后返回"},
    {7, 261, L"0x0105", L"数据不精确，精确的数据已经在同一缓存中返回"},
    {8, 262, L"0x0106", L"设备的配置项发生改变，需要重新加载显示"},
    {9, 263, L"0x0107", L"设备未打开"},
    {10, 264, L"0x0108", L"设备没有启动"},
    {11, 265, L"0x0109", L"在本次扫描中，对相同操作不再询问"},
    {12, 266, L"0x010A", L"没有数据"},
    {13, 267, L"0x010B", L"有数据未被读取"},
    {14, 268, L"0x010C", L"操作超出范围"},
    {15, 269, L"0x010D", L"IO错误，请重启设备或拔插USB"},
    {16, 270, L"0x010E", L"操作超时"},
    {17, 271, L"0x010F", L"打开本地文件失败"},
    {18, 272, L"0x0110", L"创建本地文件失败"},
    {19, 273, L"0x0111", L"写本地文件失败"},
    {20, 274, L"0x0112", L"数据损坏"},
    {21, 275, L"0x0113", L"设备已经被其它进程占用"},
    {22, 276, L"0x0114", L"语言包缺失词条"},
    {23, 277, L"0x0115", L"图像参数已经改变，请重新加载"},
    {24, 278, L"0x0116", L"关联属性状态及图像参数已经改变，请重新加载"},
    {25, 23296, L"0x5B00", L"USB通信初始化失败"},
    {26, 23297, L"0x5B01", L"注册USB监听事件失败"},
    {27, 23298, L"0x5B02", L"声明USB接口失败"},
    {28, 56832, L"0xDE00", L"设备未找到"},
    {29, 56833, L"0xDE01", L"设备不支持该操作"},
    {30, 56834, L"0xDE02", L"设备正忙，不能响应该操作"},
    {31, 56835, L"0xDE03", L"设备处于睡眠状态"},
    {32, 56836, L"0xDE04", L"设备处于计数模式扫描状态"},
    {33, 56837, L"0xDE05", L"扫描停止"},
    {34, 56838, L"0xDE06", L"请关闭扫描仪盖板"},
    {35, 56839, L"0xDE07", L"无纸"},
    {36, 56840, L"0xDE08", L"搓纸失败"},
    {37, 56841, L"0xDE09", L"有多张纸被同时搓进扫描仪"},
    {38, 56842, L"0xDE0A", L"扫描仪卡纸"},
    {39, 56843, L"0xDE0B", L"纸张上检测到有钉书钉"},
    {40, 56844, L"0xDE0C", L"纸张倾斜"},
    {41, 56845, L"0xDE0D", L"纸张尺寸检测错误"},
    {42, 56846, L"0xDE0E", L"纸张有折角"},
    {43, 56847, L"0xDE0F", L"设备没取到图"},
    {44, 56848, L"0xDE10", L"扫描失败"},
    {45, 56849, L"0xDE11", L"PC繁忙或出错"},
    {46, 56850, L"0xDE12", L"设备被锁定"},
    {47, 56851, L"0xDE13", L"设备升级成功"},
    {48, 56852, L"0xDE14", L"设备升级失败"},
    {49, 56853, L"0xDE15", L"自动平场校正结束"},
    {50, 56854, L"0xDE16", L"自动平场校正信息"},
    {51, 56855, L"0xDE17", L"疑是非专用畸变修正纸"},
    {52, 56856, L"0xDE18", L"疑是纸张有较大孔洞"},
    {53, 56857, L"0xDE19", L"请稍等-设备正在准备中"},
};

// "00266   -   0x010A": the decimal code to five digits, then the hexadecimal one.
std::wstring code_cell(const reference_row& r)
{
    std::wostringstream text;
    text << std::setw(5) << std::setfill(L'0') << r.code << L"   -   " << r.hex;
    return text.str();
}

} // namespace

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
