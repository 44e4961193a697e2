// Real input into the running program: mouse clicks and keystrokes through SendInput,
// as a user makes them, and debug.cfg read back from the disk by a reader of the test's own;
// rows of the error list found by typing their codes and copied, compared with the
// reference table.
#include "resources/resource.h"
#include "tests/common/clipboard.h"
#include "tests/common/reference_rows.h"
#include "tests/common/test_files.h"
#include "tests/e2e/real_input.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

using namespace e2e;

// ---- debug.cfg as the disk holds it -------------------------------------------------------

std::wstring trimmed(const std::wstring& text)
{
    const auto first = text.find_first_not_of(L" \t");
    const auto last = text.find_last_not_of(L" \t\r");
    return first == std::wstring::npos ? std::wstring() : text.substr(first, last - first + 1);
}

bool same_name(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

// The value of `key` in `section` of an ASCII INI file, or "<absent>".
std::wstring ini_value(const std::wstring& path, const std::wstring& section, const std::wstring& key)
{
    const std::wstring text = utf8_to_wide(read_file_bytes(path));
    std::wstring current;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find(L'\n', start), text.size());
        const std::wstring line = trimmed(text.substr(start, end - start));
        const std::size_t equals = line.find(L'=');
        if (!line.empty() && line.front() == L'[' && line.back() == L']')
            current = trimmed(line.substr(1, line.size() - 2));
        else if (equals != std::wstring::npos && same_name(current, section) &&
                 same_name(trimmed(line.substr(0, equals)), key))
            return trimmed(line.substr(equals + 1));
    }
    return L"<absent>";
}

// ---- the clipboard ------------------------------------------------------------------------

// The clipboard's text once it equals `expected` or the wait ends, after something new
// was put there (sequence number `since`). Read only once the program has begun its
// write, so the test never holds the clipboard open when the program wants it.
std::wstring clipboard_after(DWORD since, const std::wstring& expected)
{
    wait_until([&] { return GetClipboardSequenceNumber() != since; });
    std::wstring text;
    wait_until([&] { return (text = clipboard_text()) == expected; }, 3000);
    return text;
}

// ---- the running program ---------------------------------------------------------------

const char initial_cfg[] = "[log]\r\npath=C:\\old\\scan.log\r\ntwain-level=2\r\n"
                           "[paths]\r\nfinal_img=C:\\old\\imgs\r\n"
                           "[dump]\r\ndumpusb=1\r\nusb_path=C:\\old\\usb\r\n"
                           "[mem]\r\nmax_img=1000\r\n";

class real_input : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(make_dirs(appdata.file(L"VeltaScan\\config")));
        ASSERT_TRUE(write_file_bytes(cfg_path(), initial_cfg));
        process = std::make_unique<child_process>(scancfg_exe(), environment_with(L"LOCALAPPDATA", appdata.path()));
        ASSERT_TRUE(process->started()) << "CreateProcess error " << process->error();
        main_window = wait_for_main_window(*process);
        ASSERT_NE(main_window, nullptr);
        tab = GetDlgItem(main_window, IDC_MAIN_TAB);
        config_page = page_with_control(main_window, IDC_CFG_PATH);
        error_list = GetDlgItem(page_with_control(main_window, IDC_ERR_LIST), IDC_ERR_LIST);
        ASSERT_NE(config_page, nullptr);
    }

    std::wstring cfg_path() const { return appdata.file(L"VeltaScan\\config\\debug.cfg"); }

    // The first tab starts at the tab control's left end; the right arrow then moves the
    // selection to the configuration page, as a keyboard user would.
    void open_config_page()
    {
        RECT rect{};
        GetWindowRect(tab, &rect);
        ASSERT_TRUE(click_into(main_window, POINT{rect.left + 12, (rect.top + rect.bottom) / 2}, tab));
        press(VK_RIGHT);
        ASSERT_TRUE(wait_until([&] { return IsWindowVisible(config_page) != FALSE; }));
    }

    HWND control(int id) const { return GetDlgItem(config_page, id); }

    temp_dir appdata;
    std::unique_ptr<child_process> process;
    HWND main_window = nullptr, tab = nullptr, config_page = nullptr, error_list = nullptr;
};

struct typed_case {
    const char* name;
    int box;
    const wchar_t *typed, *section, *key;
};

void PrintTo(const typed_case& c, std::ostream* out) { *out << c.name; }

// Every key of initial_cfg, to check that a write touched no other.
const struct {
    const wchar_t *section, *key, *value;
} initial_keys[] = {
    {L"log", L"path", L"C:\\old\\scan.log"}, {L"log", L"twain-level", L"2"},
    {L"paths", L"final_img", L"C:\\old\\imgs"}, {L"dump", L"dumpusb", L"1"},
    {L"dump", L"usb_path", L"C:\\old\\usb"},    {L"mem", L"max_img", L"1000"},
};

class typing_into_a_box : public real_input, public testing::WithParamInterface<typed_case> {};

} // namespace

TEST_P(typing_into_a_box, WritesTheNewValueWhenTheFocusLeaves)
{
    const typed_case& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(open_config_page());
    const HWND box = control(c.box);
    ASSERT_TRUE(click_into(main_window, box));
    press(VK_END);
    send({key(VK_SHIFT, false), key(VK_HOME, false), key(VK_HOME, true), key(VK_SHIFT, true)});
    type(c.typed);
    ASSERT_TRUE(wait_until([&] { return control_text(box) == c.typed; })) << control_text(box);

    // Clicking another control takes the focus from the box: that is when it writes.
    ASSERT_TRUE(click_into(main_window, control(IDC_CFG_PATH)));
    EXPECT_TRUE(wait_until([&] { return ini_value(cfg_path(), c.section, c.key) == c.typed; }))
        << "[" << testing::PrintToString(std::wstring(c.section)) << "] " << testing::PrintToString(std::wstring(c.key))
        << " reads " << testing::PrintToString(ini_value(cfg_path(), c.section, c.key));
    for (const auto& other : initial_keys) {
        if (std::wstring(other.section) != c.section || std::wstring(other.key) != c.key) {
            EXPECT_EQ(ini_value(cfg_path(), other.section, other.key), other.value)
                << testing::PrintToString(std::wstring(other.key));
        }
    }
    // The page shows the file again: the box holds what was written.
    EXPECT_EQ(control_text(box), c.typed);
}

INSTANTIATE_TEST_SUITE_P(
    boxes, typing_into_a_box,
    testing::Values(typed_case{"twain_level", IDC_TWAIN_LEVEL, L"7", L"log", L"twain-level"},
                    typed_case{"memory_limit", IDC_MAX_IMG, L"2048", L"mem", L"max_img"},
                    typed_case{"log_path", IDC_LOG_PATH, L"D:\\logs\\scan.log", L"log", L"path"},
                    typed_case{"usb_path", IDC_USB_PATH, L"D:\\usb", L"dump", L"usb_path"}),
    [](const testing::TestParamInfo<typed_case>& param) { return std::string(param.param.name); });

TEST_F(real_input, TypedIntoTheContentBoxWrittenByTheButtonAndByCtrlS)
{
    ASSERT_NO_FATAL_FAILURE(open_config_page());
    const HWND box = control(IDC_CFG_CONTENT);
    ASSERT_TRUE(click_into(main_window, box));
    press(VK_END, VK_CONTROL);
    type(L"[cpu]");
    press(VK_RETURN);
    type(L"advanced=0");
    ASSERT_TRUE(click_into(main_window, control(IDC_WRITE)));
    const std::string written = std::string(initial_cfg) + "[cpu]\r\nadvanced=0";
    EXPECT_TRUE(wait_until([&] { return read_file_bytes(cfg_path()) == written; })) << read_file_bytes(cfg_path());
    // The page shows the file again: the check box follows the new line.
    EXPECT_TRUE(wait_until([&] { return remote_number(control(IDC_CPU_ADVANCED), BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));

    ASSERT_TRUE(click_into(main_window, box));
    press(VK_END, VK_CONTROL);
    press(VK_BACK);
    type(L"1");
    press('S', VK_CONTROL);
    EXPECT_TRUE(wait_until([&] { return read_file_bytes(cfg_path()) == std::string(initial_cfg) + "[cpu]\r\nadvanced=1"; }))
        << read_file_bytes(cfg_path());
    EXPECT_EQ(control_text(box), utf8_to_wide(initial_cfg) + L"[cpu]\r\nadvanced=1");
}

TEST_F(real_input, EscEnterAndTabNeitherCloseNorMoveAnything)
{
    ASSERT_TRUE(click_into(main_window, error_list));
    RECT before{}, after{};
    GetWindowRect(main_window, &before);
    press(VK_ESCAPE);
    press(VK_RETURN);
    press(VK_TAB);
    // End moves the list's focus to its last row: once that shows, the keys before it
    // have been handled too.
    press(VK_END);
    const auto last_row_focused = [&] {
        return remote_number(error_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == 52;
    };
    EXPECT_TRUE(wait_until([&] { return last_row_focused() || !process->running(); }));
    ASSERT_TRUE(process->running()) << "the program ended";
    EXPECT_TRUE(last_row_focused());
    EXPECT_TRUE(IsWindowVisible(main_window));
    EXPECT_EQ(focus_of(main_window), error_list);
    GetWindowRect(main_window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(real_input, CtrlCCopiesTheSelectedRowsAsShownAndCtrlASelectsEveryRow)
{
    // Nothing selected (a Ctrl+click takes the clicked row out again): Ctrl+C leaves the
    // clipboard alone. The Ctrl+A behind it shows when both keys have been handled. No
    // click hits the point of the one before it, which would make a double-click.
    ASSERT_TRUE(click_into(main_window, row_point(error_list, 2, 200), error_list));
    click_at(row_point(error_list, 2), VK_CONTROL);
    ASSERT_TRUE(wait_until([&] { return selected_rows(error_list) == 0; })) << selected_rows(error_list);
    const DWORD untouched = GetClipboardSequenceNumber();
    press('C', VK_CONTROL);
    press('A', VK_CONTROL);
    ASSERT_TRUE(wait_until([&] { return selected_rows(error_list) == 53; }));
    EXPECT_EQ(GetClipboardSequenceNumber(), untouched);

    // A click on row 3 and a Shift+click on row 6.
    click_at(row_point(error_list, 2, 200));
    click_at(row_point(error_list, 5), VK_SHIFT);
    ASSERT_TRUE(wait_until([&] { return selected_rows(error_list) == 4; })) << selected_rows(error_list);
    DWORD since = GetClipboardSequenceNumber();
    press('C', VK_CONTROL);
    EXPECT_EQ(clipboard_after(since, copied_rows(3, 6)), copied_rows(3, 6));

    since = GetClipboardSequenceNumber();
    press('A', VK_CONTROL);
    press('C', VK_CONTROL);
    const std::wstring all = clipboard_after(since, copied_rows(1, 53));
    EXPECT_EQ(std::count(all.begin(), all.end(), L'\n'), 53);
    EXPECT_EQ(all, copied_rows(1, 53));
}

TEST_F(real_input, TheListsMenuCopiesAsCtrlCDoesAndSelectsEveryRow)
{
    ASSERT_TRUE(click_into(main_window, row_point(error_list, 9), error_list));
    click_at(row_point(error_list, 11), VK_SHIFT);
    ASSERT_TRUE(wait_until([&] { return selected_rows(error_list) == 3; })) << selected_rows(error_list);
    DWORD since = GetClipboardSequenceNumber();
    press('C', VK_CONTROL);
    const std::wstring by_keys = clipboard_after(since, copied_rows(10, 12));
    EXPECT_EQ(by_keys, copied_rows(10, 12));

    // A right-click inside the selection keeps it; "复制" copies what Ctrl+C did.
    since = GetClipboardSequenceNumber();
    click_at(row_point(error_list, 10), 0, button::right);
    HWND menu = wait_for_menu(*process);
    ASSERT_NE(menu, nullptr) << "no menu for a right-click";
    EXPECT_EQ(selected_rows(error_list), 3);
    ASSERT_TRUE(choose_menu_item(menu, 0));
    EXPECT_EQ(clipboard_after(since, by_keys), by_keys);

    // A right-click on a row outside the selection selects that row alone first.
    since = GetClipboardSequenceNumber();
    click_at(row_point(error_list, 14), 0, button::right);
    ASSERT_NE(menu = wait_for_menu(*process), nullptr);
    ASSERT_TRUE(choose_menu_item(menu, 0));
    EXPECT_EQ(clipboard_after(since, copied_rows(15, 15)), copied_rows(15, 15));

    // From the keyboard the menu opens at the focused row; "全选" selects every row.
    press(VK_F10, VK_SHIFT);
    ASSERT_NE(menu = wait_for_menu(*process), nullptr) << "no menu for Shift+F10";
    RECT menu_rect{};
    GetWindowRect(menu, &menu_rect);
    const RECT row = row_rect(error_list, 14);
    EXPECT_TRUE(menu_rect.top >= row.top && menu_rect.top <= row.bottom) << menu_rect.top << " " << row.top;
    ASSERT_TRUE(choose_menu_item(menu, 1));
    EXPECT_TRUE(wait_until([&] { return selected_rows(error_list) == 53; }));

    press(VK_APPS);
    ASSERT_NE(menu = wait_for_menu(*process), nullptr) << "no menu for the menu key";
    press(VK_ESCAPE);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(menu); }));
    EXPECT_TRUE(process->running());
}

TEST_F(real_input, ATypedCodeSelectsItsRowAloneInViewForCtrlCToCopy)
{
    const auto alone_in_view = [&](int code) {
        const int row = row_of_code(code) - 1;
        const auto top = static_cast<int>(remote_number(error_list, LVM_GETTOPINDEX));
        return selected_rows(error_list) == 1 &&
               remote_number(error_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == row &&
               remote_number(error_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == row &&
               row >= top && row < top + remote_number(error_list, LVM_GETCOUNTPERPAGE);
    };
    ASSERT_TRUE(click_into(main_window, error_list));
    type(L"de0a");
    EXPECT_TRUE(wait_until([&] { return alone_in_view(0xDE0A); })) << selected_rows(error_list);

    // Longer than the pause after which a new code begins.
    Sleep(2 * GetDoubleClickTime() + 500);
    type(L"257");
    EXPECT_TRUE(wait_until([&] { return alone_in_view(257); })) << selected_rows(error_list);
    const DWORD since = GetClipboardSequenceNumber();
    press('C', VK_CONTROL);
    EXPECT_EQ(clipboard_after(since, copied_rows(3, 3)), copied_rows(3, 3));
}
