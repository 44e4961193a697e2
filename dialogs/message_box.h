// Messages to the user, each under the program's title.
#pragma once

#include <windows.h>

#include <string>

// The main window's title; also how scripts and tests find the running program.
inline constexpr wchar_t main_window_title[] = L"扫描仪错误信息及高级调试配置";

// A message box over the top-level window of `window`; the button the user chose (IDYES, ...).
int ask_user(HWND window, const std::wstring& text, UINT buttons);
