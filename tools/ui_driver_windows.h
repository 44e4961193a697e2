// The running program's windows as ui_driver finds them from outside its process: the
// main window by its title, a page by the control it holds, a popup by its class.
#pragma once

#include "app/dlg_main.h"
#include "resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace ui_driver {

constexpr DWORD wait_ms = 15000;

inline HWND find_main_window(DWORD process_id = 0)
{
    struct search {
        DWORD process_id;
        HWND found;
    } state{process_id, nullptr};
    EnumWindows(
        [](HWND window, LPARAM user) -> BOOL {
            auto* s = reinterpret_cast<search*>(user);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[128] = {};
            GetWindowTextW(window, title, 128);
            if ((s->process_id == 0 || owner == s->process_id) && IsWindowVisible(window) &&
                std::wstring(title) == main_window_title) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&state));
    return state.found;
}

inline HWND wait_for_main_window(DWORD process_id, HANDLE process)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < wait_ms) {
        if (HWND window = find_main_window(process_id))
            return window;
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(50);
    }
    return nullptr;
}

inline void print_rect(const char* prefix, HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%s%ld %ld %ld %ld\n", prefix, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    std::fflush(stdout);
}

// The page of tab `index`: the error page holds the error list, the other the path box.
inline HWND page_of_tab(HWND main_window, int index)
{
    const int marker = index == 0 ? IDC_ERR_LIST : IDC_CFG_PATH;
    for (HWND page = FindWindowExW(main_window, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(main_window, page, L"#32770", nullptr))
        if (GetDlgItem(page, marker))
            return page;
    return nullptr;
}

// A visible top-level window of class `class_name` (a dropped list "ComboLBox", a menu
// "#32768") of the process that owns `window`.
inline HWND visible_window_of(HWND window, const wchar_t* class_name)
{
    struct search {
        DWORD process_id;
        const wchar_t* class_name;
        HWND found;
    } state{0, class_name, nullptr};
    GetWindowThreadProcessId(window, &state.process_id);
    EnumWindows(
        [](HWND candidate, LPARAM user) -> BOOL {
            auto* s = reinterpret_cast<search*>(user);
            DWORD owner = 0;
            GetWindowThreadProcessId(candidate, &owner);
            wchar_t name[32] = {};
            GetClassNameW(candidate, name, 32);
            if (owner == s->process_id && IsWindowVisible(candidate) && std::wstring(name) == s->class_name)
                s->found = candidate;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&state));
    return state.found;
}

// Prints the rectangle that holds the main window of `control` and `popup`.
inline void print_union(HWND control, HWND popup)
{
    RECT window_rect{};
    RECT popup_rect{};
    GetWindowRect(GetAncestor(control, GA_ROOT), &window_rect);
    GetWindowRect(popup, &popup_rect);
    RECT both{};
    UnionRect(&both, &window_rect, &popup_rect);
    std::printf("%ld %ld %ld %ld\n", both.left, both.top, both.right - both.left, both.bottom - both.top);
}

} // namespace ui_driver
