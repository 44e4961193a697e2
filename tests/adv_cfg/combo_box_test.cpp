// Dropped lists show every item whole: on the page's combo boxes, and on boxes made
// narrow, set in a large font or holding more items than their list shows at once.
// The oracle is the dropped list itself: each item's rectangle in the open list against
// the item's text drawn in the list's own font.
#include "dialogs/combo_box.h"
#include "tests/adv_cfg/page_fixture.h"
#include "tests/dialogs/dialog_helpers.h"

#include "resources/resource.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Room a list needs beside an item's text: the text is drawn a pixel or two in from
// the item's left edge, and a glyph touching the right edge reads as cut.
constexpr LONG text_margins = 4;
// An item much wider than the widest text (by more than the margins the list needs, at
// up to 150 % scaling) is a measuring fault as well.
constexpr LONG widest_slack = 24;

LONG width_of(const RECT& rect) { return rect.right - rect.left; }

struct font_deleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using unique_font = std::unique_ptr<std::remove_pointer_t<HFONT>, font_deleter>;

// Width of `text` drawn on `window` in the window's font (the system font when it has none).
LONG text_width(HWND window, const std::wstring& text)
{
    const HDC context = GetDC(window);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0));
    const HGDIOBJ old_font = font ? SelectObject(context, font) : nullptr;
    RECT drawn{};
    DrawTextW(context, text.c_str(), -1, &drawn, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (old_font)
        SelectObject(context, old_font);
    ReleaseDC(window, context);
    return width_of(drawn);
}

// Drops the list, checks every item against its drawn text, closes the list again.
void expect_items_whole(HWND combo)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);

    LONG widest = 0;
    LONG item_width = 0;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LONG text = text_width(info.hwndList, combo_item_text(combo, i));
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_GE(width_of(item), text + text_margins) << "item " << i << " is cut";
        widest = std::max(widest, text);
        item_width = width_of(item);
    }

    RECT box{};
    GetWindowRect(combo, &box);
    EXPECT_LE(item_width, std::max(width_of(box), widest + widest_slack)) << "the list is wider than needed";
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(page_fixture, dropped_lists_show_every_item_whole)
{
    open_page("[log]\r\nlevel=warning\r\n");
    for (int id : {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE, IDC_OEM}) {
        SCOPED_TRACE("combo box " + std::to_string(id));
        expect_items_whole(item(id));
    }
}

// In pixels: the box's width, the height of the dropped list with the box (as a template
// gives it) and the font's height (0 keeps the system font); the items in UTF-8.
struct narrow_box_case {
    const char* name;
    int box_width, list_height, font_height;
    std::vector<std::string> items;
};

void PrintTo(const narrow_box_case& c, std::ostream* out) { *out << c.name; }

std::vector<std::string> numbered_items(int count)
{
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back("\xE8\xBF\x9B\xE7\xA8\x8B " + std::to_string(i) + " ScanningApplication.exe"); // 进程
    return items;
}

const narrow_box_case narrow_box_cases[] = {
    {"latin_text_wider_than_the_box", 40, 150, 0, {"file", "console and file output"}},
    {"chinese_text_wider_than_the_box", 30, 150, 0,
     {"\xE8\xAD\xA6\xE5\x91\x8A\xE4\xBF\xA1\xE6\x81\xAF\xE5\x8F\x8A\xE4\xBB\xA5\xE4\xB8\x8A"}}, // 警告信息及以上
    {"a_font_larger_than_the_system_font", 80, 200, 30,
     {"\xE8\x87\xB4\xE5\x91\xBD\xE9\x94\x99\xE8\xAF\xAF", "fatal errors and above"}}, // 致命错误
    {"more_items_than_the_list_shows", 60, 120, 0, numbered_items(40)},
    {"items_that_already_fit_keep_the_box_width", 200, 150, 0, {"a", "b"}},
};

using narrow_box = testing::TestWithParam<narrow_box_case>;

TEST_P(narrow_box, dropped_list_shows_every_item_whole)
{
    const narrow_box_case& c = GetParam();
    const window_ptr host(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                          GetModuleHandleW(nullptr), nullptr));
    ASSERT_NE(host.get(), nullptr);
    HWND combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10, 10,
                                 c.box_width, c.list_height, host.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(combo, nullptr);
    const unique_font font(c.font_height ? CreateFontW(-c.font_height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                                       DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg")
                                         : nullptr);
    if (font)
        SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    for (const std::string& label : c.items)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w(label.c_str()).c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);

    fit_dropped_width(combo);
    expect_items_whole(combo);
}

INSTANTIATE_TEST_SUITE_P(cases, narrow_box, testing::ValuesIn(narrow_box_cases),
                         [](const testing::TestParamInfo<narrow_box_case>& param_info) {
                             return std::string(param_info.param.name);
                         });

} // namespace
