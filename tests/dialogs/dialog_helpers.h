// Shared by the dialog tests: real dialogs from the real templates, created in the
// test process and driven by messages.
#pragma once

#include "app/dlg_main.h"
#include "dialogs/dlg_base.h"
#include "resources/resource.h"
#include "tests/common/test_files.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// A dialog that records what reaches its handle_message.
class recording_dialog : public dlg_base {
public:
    using dlg_base::dlg_base;

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

    bool received(UINT message) const { return std::find(messages.begin(), messages.end(), message) != messages.end(); }

    std::vector<UINT> messages;
    LPARAM init_lparam = 0;
    HWND hwnd_at_init = nullptr, watched_owner = nullptr;
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

// Dispatches what is queued for `rounds` rounds a millisecond apart, until a WM_QUIT:
// its code, or -1 when none came. Messages are dispatched, not just removed: an
// unhandled WM_PAINT would come back for ever. One round handles what is queued and
// takes a pending WM_QUIT away, so one test cannot end another's loop.
inline int pump_messages(int rounds = 1)
{
    MSG message{};
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
    return -1;
}

// Every dialog test: LOCALAPPDATA in a fresh folder, the program's module set as the
// entry function sets it, and an empty queue before and after.
class dialog_test : public testing::Test {
protected:
    void SetUp() override
    {
        pump_messages();
        app_instance = GetModuleHandleW(nullptr);
    }
    void TearDown() override { pump_messages(); }

    temp_dir appdata;
    scoped_env env{L"LOCALAPPDATA", appdata.path().c_str()};
};

struct window_destroyer {
    void operator()(HWND window) const
    {
        if (IsWindow(window))
            DestroyWindow(window);
    }
};
using window_ptr = std::unique_ptr<std::remove_pointer_t<HWND>, window_destroyer>;

// A plain visible top-level window at a given screen rectangle.
inline window_ptr plain_window(int x, int y, int width, int height)
{
    return window_ptr(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
}

inline RECT window_rect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The window rectangle of `control` in its parent's client coordinates.
inline RECT client_rect_in_parent(HWND control)
{
    RECT rect = window_rect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
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

// Whether `control` stands where its template puts it (dialog units of its parent).
inline bool placed_as_template(HWND control, int x, int y, int width, int height)
{
    const RECT expected = dialog_units_to_client(GetParent(control), x, y, width, height);
    const RECT actual = client_rect_in_parent(control);
    return EqualRect(&expected, &actual) != FALSE;
}

// Whether `window` is centred on the screen rectangle `on`: halves truncate toward zero.
inline testing::AssertionResult centred_on(HWND window, const RECT& on)
{
    const RECT placed = window_rect(window);
    const LONG x = on.left + ((on.right - on.left) - (placed.right - placed.left)) / 2;
    const LONG y = on.top + ((on.bottom - on.top) - (placed.bottom - placed.top)) / 2;
    if (placed.left == x && placed.top == y)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "at " << placed.left << "," << placed.top << ", centred is " << x << "," << y;
}

inline bool has_style(HWND window, LONG bits) { return (GetWindowLongW(window, GWL_STYLE) & bits) == bits; }

// Tab `index` of a tab control: its label and its item data (null for a missing tab).
struct tab_entry {
    std::wstring label;
    dlg_base* page;
};

inline tab_entry tab_at(HWND tab, int index)
{
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 64;
    if (!SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return {L"", nullptr};
    return {text, reinterpret_cast<dlg_base*>(item.lParam)};
}
