// Drives a running scancfg from a script, the way a user would: start it with a given
// LOCALAPPDATA, click a tab, press "退出".
//
//   ui_driver run <scancfg.exe> [<LOCALAPPDATA>]
//       starts the program (with that LOCALAPPDATA, else with this environment), prints
//       "ready X Y W H" (the main window's rectangle) once its window is shown, waits for
//       it to end and exits with its exit code (99 when it does not start or show its
//       window in time).
//   ui_driver tab <index>
//       clicks tab <index> of the running program and waits until that page shows;
//       prints the main window's rectangle.
//   ui_driver oem <index>
//       picks OEM folder <index> on the configuration page (shown first) and prints the
//       main window's rectangle once the page shows the new path.
//   ui_driver drop <control id>
//       clicks that combo box of the configuration page (shown first) and prints the
//       rectangle that holds the main window and the dropped list once the list shows.
//   ui_driver close <control id>
//       closes the dropped list of that combo box again.
//   ui_driver menu <first row> <last row>
//       shows the error page, selects those rows (numbered from 0) and right-clicks the
//       first; prints the rectangle that holds the main window and the menu once it shows.
//   ui_driver close-menu
//       closes that menu again, choosing nothing.
//   ui_driver exit
//       presses "退出".
// Windows of another process: item rectangles are read through a buffer in that process
// (pointer messages are not carried across processes), and clicks are posted as mouse
// messages, so the controls notify their windows themselves.
#include "app/dlg_main.h"
#include "resources/resource.h"
#include "tools/environment_block.h"
#include "tools/remote_rect.h"
#include "tools/ui_driver_windows.h"
#include "tools/win_handles.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ui_driver;

// An empty `local_app_data` keeps this process's environment, Wine's own profile folders.
int run(const std::wstring& exe, const std::wstring& local_app_data)
{
    std::vector<wchar_t> environment;
    if (!local_app_data.empty())
        environment = environment_block::with(L"LOCALAPPDATA", local_app_data);
    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
        return 99;
    }
    const unique_handle process(info.hProcess);
    const unique_handle thread(info.hThread);

    HWND window = wait_for_main_window(info.dwProcessId, info.hProcess);
    if (!window) {
        std::fprintf(stderr, "the main window did not appear\n");
        TerminateProcess(info.hProcess, 99);
        return 99;
    }
    print_rect("ready ", window);

    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 99;
    GetExitCodeProcess(info.hProcess, &code);
    return static_cast<int>(code);
}

int click_tab(int index, bool print = true)
{
    HWND window = wait_for_main_window(0, nullptr);
    HWND tab = window ? GetDlgItem(window, IDC_MAIN_TAB) : nullptr;
    RECT item{};
    if (!tab || !remote_rect(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), item)) {
        std::fprintf(stderr, "no tab %d\n", index);
        return 1;
    }
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    PostMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(tab, WM_LBUTTONUP, 0, point);

    HWND page = page_of_tab(window, index);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < wait_ms) {
        if (page && IsWindowVisible(page) && SendMessageW(tab, TCM_GETCURSEL, 0, 0) == index) {
            // Let the page finish painting before anyone looks at it.
            Sleep(300);
            if (print)
                print_rect("", window);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "tab %d did not show its page\n", index);
    return 1;
}

// Picks an item as the combo box's own list would: select it, then tell the page.
int choose_oem(int index)
{
    HWND window = wait_for_main_window(0, nullptr);
    HWND page = window ? page_of_tab(window, 1) : nullptr;
    HWND combo = page ? GetDlgItem(page, IDC_OEM) : nullptr;
    if (!combo || SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) {
        std::fprintf(stderr, "no OEM %d\n", index);
        return 1;
    }
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_OEM, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    Sleep(300); // let the page repaint before anyone looks at it
    print_rect("", window);
    return 0;
}

HWND config_combo(int id)
{
    HWND window = wait_for_main_window(0, nullptr);
    HWND page = window ? page_of_tab(window, 1) : nullptr;
    return page ? GetDlgItem(page, id) : nullptr;
}

// A click on the box, posted as mouse messages like the tab click: the combo box takes
// the focus and drops its list itself, as it does for a user.
int drop_list(int id)
{
    HWND combo = config_combo(id);
    if (!combo) {
        std::fprintf(stderr, "no combo box %d\n", id);
        return 1;
    }
    RECT box{};
    GetClientRect(combo, &box);
    const LPARAM point = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    PostMessageW(combo, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(combo, WM_LBUTTONUP, 0, point);

    const DWORD start = GetTickCount();
    while (GetTickCount() - start < wait_ms) {
        if (HWND list = visible_window_of(combo, L"ComboLBox")) {
            Sleep(300); // let the list paint before anyone looks at it
            print_union(combo, list);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "combo box %d did not drop its list\n", id);
    return 1;
}

int close_list(int id)
{
    HWND combo = config_combo(id);
    if (!combo) {
        std::fprintf(stderr, "no combo box %d\n", id);
        return 1;
    }
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    return 0;
}

// The middle of row `row` of the error list, in the list's client coordinates.
LPARAM row_point(HWND list, int row)
{
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    remote_rect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), rect);
    return MAKELPARAM(rect.left + 60, (rect.top + rect.bottom) / 2);
}

int open_row_menu(int first, int last)
{
    if (click_tab(0, false) != 0)
        return 1;
    HWND window = wait_for_main_window(0, nullptr);
    HWND list = GetDlgItem(page_of_tab(window, 0), IDC_ERR_LIST);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, row_point(list, first));
    PostMessageW(list, WM_LBUTTONUP, 0, row_point(list, first));
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, row_point(list, last));
    PostMessageW(list, WM_LBUTTONUP, MK_SHIFT, row_point(list, last));
    // The list opens its menu where the pointer is, as after a real click.
    POINT pointer{GET_X_LPARAM(row_point(list, first)), GET_Y_LPARAM(row_point(list, first))};
    ClientToScreen(list, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, row_point(list, first));
    PostMessageW(list, WM_RBUTTONUP, 0, row_point(list, first));

    const DWORD start = GetTickCount();
    while (GetTickCount() - start < wait_ms) {
        if (HWND menu = visible_window_of(list, L"#32768")) {
            Sleep(300); // let the menu paint before anyone looks at it
            print_union(list, menu);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "the error list opened no menu\n");
    return 1;
}

int close_row_menu()
{
    HWND window = wait_for_main_window(0, nullptr);
    HWND menu = window ? visible_window_of(window, L"#32768") : nullptr;
    if (!menu) {
        std::fprintf(stderr, "no open menu\n");
        return 1;
    }
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
}

int press_exit()
{
    HWND window = wait_for_main_window(0, nullptr);
    if (!window) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    PostMessageW(GetDlgItem(window, IDC_EXIT), BM_CLICK, 0, 0);
    return 0;
}

} // namespace

int main()
{
    int count = 0;
    const unique_arguments arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    const std::vector<std::wstring> args(arguments.get(), arguments.get() + (arguments ? count : 0));

    if ((args.size() == 3 || args.size() == 4) && args[1] == L"run")
        return run(args[2], args.size() == 4 ? args[3] : std::wstring());
    if (args.size() == 3 && args[1] == L"tab")
        return click_tab(_wtoi(args[2].c_str()));
    if (args.size() == 3 && args[1] == L"oem")
        return choose_oem(_wtoi(args[2].c_str()));
    if (args.size() == 3 && args[1] == L"drop")
        return drop_list(_wtoi(args[2].c_str()));
    if (args.size() == 3 && args[1] == L"close")
        return close_list(_wtoi(args[2].c_str()));
    if (args.size() == 4 && args[1] == L"menu")
        return open_row_menu(_wtoi(args[2].c_str()), _wtoi(args[3].c_str()));
    if (args.size() == 2 && args[1] == L"close-menu")
        return close_row_menu();
    if (args.size() == 2 && args[1] == L"exit")
        return press_exit();
    std::fprintf(stderr, "usage: ui_driver run <exe> [<LOCALAPPDATA>] | tab <index> | oem <index> | drop <id> | "
                         "close <id> | menu <first> <last> | close-menu | exit\n");
    return 2;
}
