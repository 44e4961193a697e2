// Drives a running scancfg from a script, the way a user would (tools/run makes the
// README's pictures with it); the commands are in the usage text at the end. "run" starts
// it and prints "ready X Y W H" once it shows; the others print the rectangle worth a
// picture once the program shows what they asked for. Clicks are posted as mouse
// messages, so the controls notify their windows themselves.
#include "app/dlg_main.h"
#include "resources/resource.h"
#include "tools/harness/handles.h"
#include "tools/harness/process.h"
#include "tools/harness/remote_control.h"
#include "tools/harness/windows_of.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace harness;

// The running program's main window, of whichever process shows it.
HWND main_window()
{
    HWND window = nullptr;
    wait_until([&] { return (window = visible_window(0, titled(main_window_title))) != nullptr; });
    return window;
}

// The page of tab `index`: the error page holds the error list, the other the path box.
HWND page_of_tab(HWND window, int index) { return page_with_control(window, index == 0 ? IDC_ERR_LIST : IDC_CFG_PATH); }

void print_rect(const char* prefix, const RECT& rect)
{
    std::printf("%s%ld %ld %ld %ld\n", prefix, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    std::fflush(stdout);
}

void print_window(const char* prefix, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    print_rect(prefix, rect);
}

void click(HWND control, LPARAM point, WPARAM keys = 0, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP)
{
    PostMessageW(control, down, keys | (down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON), point);
    PostMessageW(control, up, keys, point);
}

int fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

// Once a popup of class `class_name` (a dropped list, a menu) of `control`'s process
// shows, prints the rectangle that holds it and the main window.
int print_when_shown(HWND control, const std::wstring& class_name, const char* failure)
{
    HWND popup = nullptr;
    if (!wait_until([&] { return (popup = visible_window(process_of(control), of_class(class_name))) != nullptr; }))
        return fail(failure);
    Sleep(300); // let it paint before anyone looks at it
    RECT window_rect{}, popup_rect{}, both{};
    GetWindowRect(GetAncestor(control, GA_ROOT), &window_rect);
    GetWindowRect(popup, &popup_rect);
    UnionRect(&both, &window_rect, &popup_rect);
    print_rect("", both);
    return 0;
}

// An empty `local_app_data` keeps this process's environment, Wine's own profile folders.
int run(const std::wstring& exe, const std::wstring& local_app_data)
{
    const child_process process(
        exe, local_app_data.empty() ? std::vector<wchar_t>() : environment_with(L"LOCALAPPDATA", local_app_data));
    if (!process.started()) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", process.error());
        return 99;
    }
    HWND window = wait_for_window(process, titled(main_window_title));
    if (!window) {
        std::fprintf(stderr, "the main window did not appear\n");
        return 99;
    }
    print_window("ready ", window);
    return static_cast<int>(process.wait_for_exit(INFINITE));
}

int click_tab(int index, bool print = true)
{
    HWND window = main_window();
    HWND tab = window ? GetDlgItem(window, IDC_MAIN_TAB) : nullptr;
    RECT item{};
    if (!tab || !remote_rect(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), item))
        return fail("no such tab");
    click(tab, MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2));
    HWND page = page_of_tab(window, index);
    if (!wait_until([&] { return page && IsWindowVisible(page) && SendMessageW(tab, TCM_GETCURSEL, 0, 0) == index; }))
        return fail("the tab did not show its page");
    Sleep(300); // let the page finish painting before anyone looks at it
    if (print)
        print_window("", window);
    return 0;
}

HWND config_control(int id)
{
    HWND window = main_window();
    HWND page = window ? page_of_tab(window, 1) : nullptr;
    return page ? GetDlgItem(page, id) : nullptr;
}

// Picks an item as the combo box's own list would: select it, then tell the page.
int choose_oem(int index)
{
    HWND combo = config_control(IDC_OEM);
    if (!combo || SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR)
        return fail("no such OEM folder");
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_OEM, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    Sleep(300); // let the page repaint before anyone looks at it
    print_window("", GetAncestor(combo, GA_ROOT));
    return 0;
}

// A click on the box: the combo box takes the focus and drops its list itself, as it
// does for a user.
int drop_list(int id)
{
    HWND combo = config_control(id);
    if (!combo)
        return fail("no such combo box");
    RECT box{};
    GetClientRect(combo, &box);
    click(combo, MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2));
    return print_when_shown(combo, dropped_list_class, "the combo box did not drop its list");
}

int close_list(int id)
{
    HWND combo = config_control(id);
    if (!combo)
        return fail("no such combo box");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    return 0;
}

// The middle of row `row` of the error list, in the list's client coordinates.
POINT row_point(HWND list, int row)
{
    RECT rect{};
    list_row_rect(list, row, rect);
    return POINT{rect.left + 60, (rect.top + rect.bottom) / 2};
}

int open_row_menu(int first, int last)
{
    if (click_tab(0, false) != 0)
        return 1;
    HWND list = GetDlgItem(page_of_tab(main_window(), 0), IDC_ERR_LIST);
    const POINT from = row_point(list, first), to = row_point(list, last);
    click(list, MAKELPARAM(from.x, from.y));
    click(list, MAKELPARAM(to.x, to.y), MK_SHIFT);
    // The list opens its menu where the pointer is, as after a real click.
    POINT pointer = from;
    ClientToScreen(list, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    click(list, MAKELPARAM(from.x, from.y), 0, WM_RBUTTONDOWN, WM_RBUTTONUP);
    return print_when_shown(list, menu_class, "the error list opened no menu");
}

// Clicks the error list's first row and types `code` into the list, as a user looking
// a code up does; once another row is found, prints the main window.
int find_code(const std::wstring& code)
{
    if (click_tab(0, false) != 0)
        return 1;
    HWND list = GetDlgItem(page_of_tab(main_window(), 0), IDC_ERR_LIST);
    const auto focused_row = [&] { return remote_number(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED); };
    const POINT first = row_point(list, 0);
    click(list, MAKELPARAM(first.x, first.y));
    if (!wait_until([&] { return focused_row() == 0; }))
        return fail("the click did not reach the error list");
    for (wchar_t c : code)
        PostMessageW(list, WM_CHAR, c, 1);
    if (!wait_until([&] { return focused_row() > 0 && remote_number(list, LVM_GETSELECTEDCOUNT) == 1; }))
        return fail("the typed code found no other row");
    Sleep(300); // let it paint before anyone looks at it
    print_window("", GetAncestor(list, GA_ROOT));
    return 0;
}

// The page's question box: titled as the main window, without its tabs.
HWND question_box()
{
    HWND box = nullptr;
    const window_match title = titled(main_window_title);
    wait_until([&] {
        return (box = visible_window(0, [&](HWND w) { return title(w) && !GetDlgItem(w, IDC_MAIN_TAB); })) != nullptr;
    });
    return box;
}

// Types a line into the content box, then picks OEM folder `index`: the page first asks
// whether to write the typing. Prints the main window with the question over it.
int ask_before_leaving(int index)
{
    HWND window = main_window();
    HWND box = config_control(IDC_CFG_CONTENT), combo = config_control(IDC_OEM);
    if (!window || !box || !combo)
        return fail("no configuration page");
    const std::wstring before = control_text(box);
    for (wchar_t c : std::wstring(L"; 支持人员加入的一行\r"))
        PostMessageW(box, WM_CHAR, c, 1);
    if (!wait_until([&] { return control_text(box) != before; }))
        return fail("the content box took no typing");
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // Posted: the page's handler runs until the question is answered.
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_OEM, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    HWND question = question_box();
    if (!question)
        return fail("the page asked nothing");
    Sleep(300); // let it paint before anyone looks at it
    RECT window_rect{}, question_rect{}, both{};
    GetWindowRect(window, &window_rect);
    GetWindowRect(question, &question_rect);
    UnionRect(&both, &window_rect, &question_rect);
    print_rect("", both);
    return 0;
}

// Clicks button `id` (IDYES, IDNO, IDCANCEL) of the question box.
int answer(int id)
{
    HWND question = question_box();
    HWND button = question ? GetDlgItem(question, id) : nullptr;
    if (!button)
        return fail("no such answer");
    PostMessageW(button, BM_CLICK, 0, 0);
    return wait_until([&] { return !IsWindow(question); }) ? 0 : fail("the question stayed");
}

int close_row_menu()
{
    HWND window = main_window();
    HWND menu = window ? visible_window(process_of(window), of_class(menu_class)) : nullptr;
    if (!menu)
        return fail("no open menu");
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

int press_exit()
{
    HWND window = main_window();
    if (!window)
        return fail("no main window");
    PostMessageW(GetDlgItem(window, IDC_EXIT), BM_CLICK, 0, 0);
    return 0;
}

} // namespace

int main()
{
    const std::vector<std::wstring> args = command_line_arguments();
    const auto number = [&](std::size_t i) { return _wtoi(args[i].c_str()); };
    const std::wstring command = args.size() > 1 ? args[1] : L"";
    if ((args.size() == 3 || args.size() == 4) && command == L"run")
        return run(args[2], args.size() == 4 ? args[3] : std::wstring());
    if (args.size() == 3 && command == L"tab")
        return click_tab(number(2));
    if (args.size() == 3 && command == L"oem")
        return choose_oem(number(2));
    if (args.size() == 3 && command == L"drop")
        return drop_list(number(2));
    if (args.size() == 3 && command == L"close")
        return close_list(number(2));
    if (args.size() == 4 && command == L"menu")
        return open_row_menu(number(2), number(3));
    if (args.size() == 3 && command == L"find")
        return find_code(args[2]);
    if (args.size() == 3 && command == L"ask")
        return ask_before_leaving(number(2));
    if (args.size() == 3 && command == L"answer")
        return answer(number(2));
    if (args.size() == 2 && command == L"close-menu")
        return close_row_menu();
    if (args.size() == 2 && command == L"exit")
        return press_exit();
    std::fprintf(stderr, "usage: ui_driver run <exe> [<LOCALAPPDATA>] | tab <index> | oem <index> | drop <id> | "
                         "close <id> | menu <first> <last> | find <code> | ask <oem index> | answer <button id> | "
                         "close-menu | exit\n");
    return 2;
}
