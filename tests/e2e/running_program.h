// The built scancfg.exe as a process of its own, and the rows of its error list on the
// screen, read across the process border with the harness the tools share.
#pragma once

#include "tools/harness/process.h"
#include "tools/harness/remote_control.h"
#include "tools/harness/windows_of.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace e2e {

using namespace harness;

inline std::wstring scancfg_exe() { return beside_this_program(L"scancfg.exe"); }

// Found by the title a user sees, written here as the user reads it.
inline HWND wait_for_main_window(const child_process& process)
{
    return wait_for_window(process, titled(L"扫描仪错误信息及高级调试配置"));
}

// The program's open popup menu, waited for; null when none opens.
inline HWND wait_for_menu(const child_process& process) { return wait_for_window(process, of_class(menu_class)); }

// Row `index` of the list on the screen.
inline RECT row_rect(HWND list, int index)
{
    RECT rect{};
    if (!list_row_rect(list, index, rect))
        ADD_FAILURE() << "no rectangle for row " << index;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A point to click in row `index`, `x` pixels from its left end.
inline POINT row_point(HWND list, int index, int x = 60)
{
    const RECT rect = row_rect(list, index);
    return POINT{rect.left + x, (rect.top + rect.bottom) / 2};
}

inline int selected_rows(HWND list) { return static_cast<int>(remote_number(list, LVM_GETSELECTEDCOUNT)); }

} // namespace e2e
