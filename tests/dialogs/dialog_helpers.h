// Shared by the dialog tests: real dialogs from the real templates, created in the
// test process and driven by messages.
#pragma once

#include "app/dlg_main.h"
#include "dialogs/dlg_base.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// A dialog that records what reaches its handle_message.
class recording_dialog : public dlg_base {
public:
    recording_dialog(int template_id_value, HWND parent_window) : dlg_base(template_id_value, parent_window) {}

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        messages.push_back(message);
        if (message == WM_INITDIALOG) {
            init_lparam = lparam;
            hwnd_at_init = hwnd;
        }
        if (message == WM_APP) {
            owner_enabled_in_loop = IsWindowEnabled(watched_owner) != FALSE;
            modal_result = static_cast<std::int32_t>(wparam);
        }
        return 0;
    }

    void on_font_changed() override { ++font_changes; }

    bool received(UINT message) const
    {
        for (UINT m : messages)
            if (m == message)
                return true;
        return false;
    }

    std::vector<UINT> messages;
    LPARAM init_lparam = 0;
    HWND hwnd_at_init = nullptr;
    HWND watched_owner = nullptr;
    bool owner_enabled_in_loop = false;
    int font_changes = 0;
};

// One of the program's dialog classes, keeping what it answered to WM_INITDIALOG: only
// an answer of 1 lets the dialog manager give the first control the focus, which a
// hidden dialog does not show otherwise.
template <typename dialog_type>
class init_answer_probe : public dialog_type {
public:
    using dialog_type::dialog_type;

    INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam) override
    {
        const INT_PTR answer = dialog_type::handle_message(message, wparam, lparam);
        if (message == WM_INITDIALOG)
            init_answer = answer;
        return answer;
    }

    INT_PTR init_answer = -1;
};

// A plain top-level window at a given screen rectangle, destroyed with the object.
class plain_window {
public:
    plain_window(int x, int y, int width, int height, DWORD style = WS_POPUP | WS_VISIBLE)
        : hwnd_(CreateWindowExW(0, L"STATIC", L"", style, x, y, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~plain_window()
    {
        if (IsWindow(hwnd_))
            DestroyWindow(hwnd_);
    }
    plain_window(const plain_window&) = delete;
    plain_window& operator=(const plain_window&) = delete;

    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

inline RECT window_rect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A template item's rectangle (x, y, width, height in dialog units) in the dialog's
// client pixels, converted as the dialog manager does: position and size separately.
inline RECT dialog_units_to_client(HWND dialog, int x, int y, int width, int height)
{
    RECT units{x, y, width, height};
    MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

// The window rectangle of `control` in its parent's client coordinates.
inline RECT client_rect_in_parent(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline bool has_style(HWND window, LONG bits) { return (GetWindowLongW(window, GWL_STYLE) & bits) == bits; }

// Dispatches what is queued (not WM_QUIT); true when WM_QUIT was seen, with its code.
inline bool pump_until_quit(int* exit_code = nullptr)
{
    MSG message{};
    for (int round = 0; round < 50; ++round) {
        for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (message.message == WM_QUIT) {
                if (exit_code)
                    *exit_code = static_cast<int>(message.wParam);
                return true;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
    return false;
}

// Handles whatever is queued and drops a pending WM_QUIT, so one test cannot end
// another's loop. Messages are dispatched, not just removed: an unhandled WM_PAINT
// would come back for ever.
inline void drain_queue()
{
    MSG message{};
    for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline std::wstring window_text(HWND window)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}
