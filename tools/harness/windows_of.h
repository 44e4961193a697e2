// The windows of another process as a user sees them: its visible top-level windows
// (the main window by its title, a dropped list or a menu by its class) and the pages
// inside the main window.
#pragma once

#include "tools/harness/process.h"

#include <windows.h>

#include <functional>
#include <string>

namespace harness {

using window_match = std::function<bool(HWND)>;

// The window classes of a dropped combo-box list and of a popup menu.
inline const std::wstring dropped_list_class = L"ComboLBox";
inline const std::wstring menu_class = L"#32768";

struct window_search {
    DWORD process_id;
    const window_match& match;
    HWND found;
};

// A named function, not a lambda: 32-bit Windows calls it with the CALLBACK convention.
inline BOOL CALLBACK check_window(HWND window, LPARAM user)
{
    auto& s = *reinterpret_cast<window_search*>(user);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((s.process_id == 0 || owner == s.process_id) && IsWindowVisible(window) && (!s.match || s.match(window)))
        s.found = window;
    return s.found == nullptr;
}

// The first visible top-level window of process `process_id` (0: of any process) that
// `match` accepts (an empty match accepts any).
inline HWND visible_window(DWORD process_id, const window_match& match = {})
{
    window_search state{process_id, match, nullptr};
    EnumWindows(check_window, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

inline window_match titled(const std::wstring& title)
{
    return [title](HWND window) {
        wchar_t text[128] = {};
        GetWindowTextW(window, text, 128);
        return title == text;
    };
}

inline window_match of_class(const std::wstring& class_name)
{
    return [class_name](HWND window) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        return class_name == name;
    };
}

inline DWORD process_of(HWND window)
{
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    return process_id;
}

// Such a window of `process`, waited for; null when none shows in time or the process ends.
inline HWND wait_for_window(const child_process& process, const window_match& match)
{
    HWND found = nullptr;
    wait_until([&] { return (found = visible_window(process.id(), match)) != nullptr || !process.running(); });
    return found;
}

// The page (a child dialog of the main window) that holds control `id`.
inline HWND page_with_control(HWND main_window, int id)
{
    for (HWND page = FindWindowExW(main_window, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(main_window, page, L"#32770", nullptr))
        if (GetDlgItem(page, id))
            return page;
    return nullptr;
}

} // namespace harness
