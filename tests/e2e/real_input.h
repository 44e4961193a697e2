// Real input as a user makes it: mouse clicks and keystrokes through SendInput, which go
// to whatever window is under the pointer or has the focus.
#pragma once

#include "tests/e2e/running_program.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

inline void send(std::vector<INPUT> inputs) { SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)); }

inline INPUT mouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{INPUT_MOUSE, {}};
    input.mi = MOUSEINPUT{x, y, 0, flags, 0, 0};
    return input;
}

// A virtual key, or with `unicode` a character as the keyboard delivers it, whatever the layout.
inline INPUT key(WORD virtual_key, bool up, wchar_t unicode = 0)
{
    const DWORD flags = (up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0);
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki = KEYBDINPUT{virtual_key, unicode, flags, 0, 0};
    return input;
}

// `inputs` with `modifier` (VK_CONTROL, VK_SHIFT) held down around them, unless it is 0.
inline void send_holding(WORD modifier, std::vector<INPUT> inputs)
{
    if (modifier) {
        inputs.insert(inputs.begin(), key(modifier, false));
        inputs.push_back(key(modifier, true));
    }
    send(inputs);
}

inline void press(WORD virtual_key, WORD modifier = 0)
{
    send_holding(modifier, {key(virtual_key, false), key(virtual_key, true)});
}

inline void type(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t c : text)
        inputs.insert(inputs.end(), {key(0, false, c), key(0, true, c)});
    send(inputs);
}

enum class button { left, right };

inline bool pointer_at(POINT point)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor.x == point.x && cursor.y == point.y;
}

// A click at a point of the screen (primary monitor), in the absolute coordinates that
// SendInput takes, with `modifier` held down unless it is 0. Under Wine a move makes the
// X server report the pointer to the window under it a moment later, and with that
// report Wine takes the modifier keys from X, where no key is held; a window that just
// appeared may also report where the pointer was before. A button event sent right
// behind a move was so now and then taken at the old place or without its Ctrl or Shift.
// So the pointer is moved first, until the window under it has taken in those reports
// and the pointer stays; the key and button events follow.
inline void click_at(POINT point, WORD modifier = 0, button which = button::left)
{
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    const LONG x = (point.x * 65535 + width / 2) / (width - 1);
    const LONG y = (point.y * 65535 + height / 2) / (height - 1);
    for (int attempt = 0; attempt < 10; ++attempt) {
        send({mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y)});
        wait_until([&] { return pointer_at(point); }, 1000);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(WindowFromPoint(point), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
        Sleep(50);
        if (pointer_at(point))
            break;
    }
    const bool left = which == button::left;
    send_holding(modifier, {mouse(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
                            mouse(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)});
}

inline POINT centre_of(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The window that has the keyboard focus in `window`'s thread.
inline HWND focus_of(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// Brings the program to the front and clicks `point`; whether `control` then has the focus.
inline bool click_into(HWND main_window, POINT point, HWND control)
{
    // Without a window manager nothing else would make the program the foreground one.
    SetForegroundWindow(main_window);
    click_at(point);
    if (wait_until([&] { return focus_of(main_window) == control; }))
        return true;
    ADD_FAILURE() << "clicked " << point.x << "," << point.y << " (pointer there: " << pointer_at(point)
                  << "): over control " << GetDlgCtrlID(WindowFromPoint(point)) << ", focus on control "
                  << GetDlgCtrlID(focus_of(main_window)) << ", in front: " << (GetForegroundWindow() == main_window);
    return false;
}

inline bool click_into(HWND main_window, HWND control) { return click_into(main_window, centre_of(control), control); }

// Clicks item `index` of the open menu ("复制", "全选": two items of one height) and waits
// until the menu has gone.
inline bool choose_menu_item(HWND menu, int index)
{
    RECT rect{};
    GetWindowRect(menu, &rect);
    click_at(POINT{(rect.left + rect.right) / 2, rect.top + (2 * index + 1) * (rect.bottom - rect.top) / 4});
    return wait_until([&] { return !IsWindowVisible(menu); });
}

} // namespace e2e
