// The dialog base: binding and routing, teardown, the modal loop's centring, show,
// reading control text and adding tabs.
#include "tests/dialogs/dialog_helpers.h"
#include "tests/dialogs/import_patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Most cases need one dialog of the main template, without a parent.
class dlg_base_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        ASSERT_NE(dialog.create(), nullptr);
    }

    recording_dialog dialog{IDD_MAIN, nullptr};
};

// True when `upper` comes before `lower` in the z-order of top-level windows.
bool is_above(HWND upper, HWND lower)
{
    for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        if (next == lower)
            return true;
    return false;
}

BOOL CALLBACK count_ours(HWND, LPWSTR name, HANDLE, ULONG_PTR user)
{
    // Atom-named entries come as integers, not strings.
    *reinterpret_cast<int*>(user) += !IS_INTRESOURCE(name) && std::wstring(name) == dlg_base_object_prop_name;
    return TRUE;
}

int count_binding_props(HWND window)
{
    int count = 0;
    EnumPropsExW(window, count_ours, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Runs the loop once: a WM_APP carrying `result` is handled first, then WM_QUIT ends it
// (unless the WM_APP already did).
std::int32_t run_once(recording_dialog& dialog, HWND owner, std::int32_t result = 0)
{
    dialog.watched_owner = owner;
    PostMessageW(dialog.hwnd, WM_APP, static_cast<WPARAM>(result), 0);
    PostQuitMessage(0);
    return dialog.run_modal(owner);
}

// Every EnableWindow call of the program while `enable_spy` is installed.
std::vector<std::pair<HWND, BOOL>> enable_calls;
const import_patch* enable_spy = nullptr;

BOOL WINAPI record_enable_window(HWND window, BOOL enable)
{
    enable_calls.emplace_back(window, enable);
    return reinterpret_cast<decltype(&EnableWindow)>(enable_spy->original())(window, enable);
}

} // namespace

// ---- binding and routing -------------------------------------------------------------

TEST_F(dlg_base_test, InitDialogIsTheFirstMessageAndCarriesTheObject)
{
    // The template's font makes the dialog manager send WM_SETFONT before WM_INITDIALOG;
    // no object is bound then, so it must never arrive.
    ASSERT_FALSE(dialog.messages.empty());
    EXPECT_EQ(dialog.messages.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_FALSE(dialog.received(WM_SETFONT));
    EXPECT_EQ(dialog.init_lparam, reinterpret_cast<LPARAM>(&dialog));
    EXPECT_EQ(dialog.hwnd_at_init, dialog.hwnd);
    EXPECT_EQ(GetPropW(dialog.hwnd, dlg_base_object_prop_name), static_cast<HANDLE>(&dialog));
}

TEST_F(dlg_base_test, UnboundWindowsAndPlainObjectsAnswerZeroToEverything)
{
    const window_ptr window = plain_window(0, 0, 10, 10);
    // An object of the base class itself handles nothing either.
    dlg_base plain(IDD_MAIN, nullptr);
    ASSERT_NE(plain.create(), nullptr);
    for (HWND target : {window.get(), plain.hwnd})
        for (UINT message : {static_cast<UINT>(WM_SETFONT), static_cast<UINT>(WM_COMMAND),
                             static_cast<UINT>(WM_USER + 5), static_cast<UINT>(WM_DESTROY)})
            EXPECT_EQ(base_dialog_proc(target, message, 0, 0), 0) << message;
}

TEST_F(dlg_base_test, DestroyUnbindsNoLaterMessageReachesTheObjectAndTheLastRemovesTheEntry)
{
    const HWND window = dialog.hwnd;
    EXPECT_EQ(count_binding_props(window), 1);
    dialog.messages.clear();

    EXPECT_EQ(base_dialog_proc(window, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(GetPropW(window, dlg_base_object_prop_name), nullptr);
    EXPECT_EQ(count_binding_props(window), 1); // cleared, still present
    EXPECT_EQ(base_dialog_proc(window, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(base_dialog_proc(window, WM_COMMAND, IDOK, 0), 0);
    EXPECT_TRUE(dialog.messages.empty());
    EXPECT_EQ(base_dialog_proc(window, WM_NCDESTROY, 0, 0), 0);
    EXPECT_EQ(count_binding_props(window), 0);
    EXPECT_FALSE(dialog.received(WM_NCDESTROY));

    // The real destruction: neither WM_DESTROY nor WM_NCDESTROY reaches the object,
    // which stays alive with its old handle.
    DestroyWindow(window);
    EXPECT_FALSE(dialog.received(WM_DESTROY));
    EXPECT_FALSE(dialog.received(WM_NCDESTROY));
    EXPECT_EQ(dialog.hwnd, window);
    EXPECT_FALSE(IsWindow(window));
}

// ---- teardown ------------------------------------------------------------------------

TEST_F(dlg_base_test, DestroyingTheObjectDestroysItsWindowAndEnablesAndRaisesTheParent)
{
    for (const bool window_gone : {false, true}) {
        SCOPED_TRACE(window_gone ? "its window already gone" : "with its window");
        const window_ptr owner = plain_window(50, 50, 300, 200);
        const window_ptr other = plain_window(60, 60, 300, 200);
        auto object = std::make_unique<recording_dialog>(IDD_MAIN, owner.get());
        ASSERT_NE(object->create(), nullptr);
        const HWND window = object->hwnd;
        if (window_gone)
            DestroyWindow(window);
        EnableWindow(owner.get(), FALSE);
        SetWindowPos(other.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ASSERT_TRUE(is_above(other.get(), owner.get()));

        object.reset();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_TRUE(IsWindow(owner.get()));
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
        // Without a window of the object to hand the activation back, only the destructor
        // itself can have brought the parent up.
        EXPECT_TRUE(is_above(owner.get(), other.get()));
    }
}

// ---- the modal loop -----------------------------------------------------------------

TEST_F(dlg_base_test, ModalLoopCentresOnItsOwnerHalvingTheDifferenceTowardZero)
{
    struct centring_case {
        const char* name;
        int extra_width;  // owner width minus dialog width
        int extra_height; // owner height minus dialog height
        int expected_dx;  // dialog left minus owner left
        int expected_dy;
    };
    const centring_case cases[] = {{"wider by 5", 5, 5, 2, 2},    {"narrower by 5", -5, -5, -2, -2},
                                   {"wider by 40", 40, 10, 20, 5}, {"same size", 0, 0, 0, 0},
                                   {"narrower by 1", -1, 3, 0, 1}};
    const RECT own = window_rect(dialog.hwnd);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    for (const centring_case& c : cases) {
        SCOPED_TRACE(c.name);
        // Away from the screen's origin, so where the dialog starts would show in the result.
        MoveWindow(dialog.hwnd, 37, 53, width, height, FALSE);
        const window_ptr owner = plain_window(200, 150, width + c.extra_width, height + c.extra_height);
        EXPECT_EQ(run_once(dialog, owner.get()), 0);

        const RECT placed = window_rect(dialog.hwnd);
        EXPECT_EQ(placed.left - 200, c.expected_dx);
        EXPECT_EQ(placed.top - 150, c.expected_dy);
        EXPECT_EQ(placed.right - placed.left, width); // size unchanged
        EXPECT_EQ(placed.bottom - placed.top, height);
    }
}

TEST_F(dlg_base_test, ModalLoopDisablesAWindowOwnerOnlyWhileItRunsAndNeverTheDesktop)
{
    const window_ptr window_owner = plain_window(10, 10, 200, 100);
    struct owner_case {
        const char* name;
        HWND owner;
        bool disabled;
    };
    const owner_case cases[] = {
        {"a window", window_owner.get(), true},
        // Disabling the desktop would take the input from every other program. It belongs
        // to another process, so whether it was disabled shows only in the call.
        {"the desktop window", GetDesktopWindow(), false},
    };
    const import_patch spy("user32.dll", "EnableWindow", &record_enable_window);
    enable_spy = &spy;
    ASSERT_TRUE(spy.active());
    for (const owner_case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.messages.clear();
        enable_calls.clear();
        EXPECT_EQ(run_once(dialog, c.owner), 0);
        ASSERT_TRUE(dialog.received(WM_APP));
        const bool disabled = std::find(enable_calls.begin(), enable_calls.end(),
                                        std::make_pair(c.owner, BOOL{FALSE})) != enable_calls.end();
        EXPECT_EQ(disabled, c.disabled);
        EXPECT_EQ(dialog.owner_enabled_in_loop, !c.disabled);
        EXPECT_TRUE(IsWindowEnabled(c.owner));
        EXPECT_FALSE(IsWindowVisible(dialog.hwnd)); // hidden again when the loop ends
    }
}

TEST_F(dlg_base_test, ModalLoopGivesKeysNoDialogMeaning)
{
    // Esc and Enter would become IDCANCEL and IDOK (closing the program), Tab and the
    // arrows would move the focus, if the loop let the dialog manager see the keys.
    const HWND button = GetDlgItem(dialog.hwnd, IDC_EXIT);
    for (WPARAM key : {VK_ESCAPE, VK_RETURN, VK_TAB, VK_DOWN, VK_RIGHT}) {
        PostMessageW(button, WM_KEYDOWN, key, 1);
        PostMessageW(button, WM_KEYUP, key, 0xC0000001);
    }
    PostMessageW(dialog.hwnd, WM_APP, 5, 0);
    PostQuitMessage(0); // ends the loop should the WM_APP never reach its check
    EXPECT_EQ(dialog.run_modal(nullptr), 5);
    EXPECT_FALSE(dialog.received(WM_COMMAND));
}

TEST_F(dlg_base_test, ModalLoopWithoutOwnerCentresOnTheDesktopAndEndsAtANonZeroResult)
{
    EXPECT_EQ(run_once(dialog, nullptr), 0);
    EXPECT_TRUE(centred_on(dialog.hwnd, window_rect(GetDesktopWindow())));

    // A non-zero result ends the loop before WM_QUIT, which is never retrieved.
    EXPECT_EQ(run_once(dialog, nullptr, 7), 7);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    // The next run starts from 0 again: ended by WM_QUIT alone, it returns 0, not 7.
    PostQuitMessage(0);
    EXPECT_EQ(dialog.run_modal(nullptr), 0);
}

// ---- show ----------------------------------------------------------------------------

TEST_F(dlg_base_test, ShowingAChildOnlyShowsIt)
{
    recording_dialog page(IDD_ERR_MSG, dialog.hwnd);
    ASSERT_NE(page.create(), nullptr);
    MoveWindow(page.hwnd, 3, 4, 100, 80, FALSE);
    const RECT before = window_rect(page.hwnd);

    page.show(true);
    EXPECT_TRUE(has_style(page.hwnd, WS_VISIBLE));
    const RECT after = window_rect(page.hwnd);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(IsWindowEnabled(dialog.hwnd));

    page.show(false);
    EXPECT_FALSE(has_style(page.hwnd, WS_VISIBLE));
    EXPECT_TRUE(IsWindowEnabled(dialog.hwnd));
}

TEST_F(dlg_base_test, ShowingATopLevelDialogCentresItOnItsDisabledParentOrTopmostOnTheDesktop)
{
    const window_ptr owner = plain_window(300, 200, 700, 600);
    for (HWND parent : {HWND{nullptr}, owner.get()}) {
        SCOPED_TRACE(parent ? "with a parent" : "without parent");
        recording_dialog top_level(IDD_MAIN, parent);
        ASSERT_NE(top_level.create(), nullptr);

        top_level.show(true);
        EXPECT_TRUE(IsWindowVisible(top_level.hwnd));
        EXPECT_TRUE(centred_on(top_level.hwnd, parent ? RECT{300, 200, 1000, 800} : window_rect(GetDesktopWindow())));
        EXPECT_EQ((GetWindowLongW(top_level.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, parent == nullptr);
        EXPECT_EQ(IsWindowEnabled(owner.get()) != FALSE, parent == nullptr);

        top_level.show(false);
        EXPECT_TRUE(IsWindowEnabled(owner.get()));
        EXPECT_FALSE(IsWindowVisible(top_level.hwnd));
    }
}

TEST_F(dlg_base_test, ShowingKeepsTheDialogInsideTheWorkAreaLeftAndTopWinning)
{
    struct clamp_case {
        const char* name;
        bool parent_at_bottom_right; // else at the top-left corner, partly off the screen
        int grow_x, grow_y;          // > 0: the dialog is this much wider (taller) than the work area
        bool left_inside, top_inside; // else the right (bottom) edge meets the work area's
    };
    const clamp_case cases[] = {
        {"near bottom right", true, 0, 0, false, false},
        {"near top left", false, 0, 0, true, true},
        {"wider than the work area near bottom right", true, 150, -200, true, false},
        {"taller than the work area near bottom right", true, -300, 150, false, true},
        {"wider than the work area near top left", false, 150, -200, true, true},
        {"taller than the work area near top left", false, -300, 150, true, true},
    };
    for (const clamp_case& c : cases) {
        SCOPED_TRACE(c.name);
        // A tiny parent near a corner: centring on it would push the dialog out.
        const window_ptr parent = plain_window(0, 0, 20, 20);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(parent.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
        const RECT work = monitor.rcWork;
        if (c.parent_at_bottom_right)
            MoveWindow(parent.get(), work.right - 20, work.bottom - 20, 20, 20, FALSE);
        else
            MoveWindow(parent.get(), work.left - 10, work.top - 10, 20, 20, FALSE);
        recording_dialog clamped(IDD_MAIN, parent.get());
        ASSERT_NE(clamped.create(), nullptr);
        if (c.grow_x != 0 || c.grow_y != 0) {
            // Oversized in one direction only: a window covering the whole screen makes Wine
            // grab the pointer for it, which now and then ends the program with an X error.
            const int width = work.right - work.left + c.grow_x;
            const int height = work.bottom - work.top + c.grow_y;
            SetWindowPos(clamped.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            const RECT sized = window_rect(clamped.hwnd);
            ASSERT_EQ(sized.right - sized.left, width);
            ASSERT_EQ(sized.bottom - sized.top, height);
        }

        clamped.show(true);
        const RECT placed = window_rect(clamped.hwnd);
        EXPECT_EQ(c.left_inside ? placed.left : placed.right, c.left_inside ? work.left : work.right);
        EXPECT_EQ(c.top_inside ? placed.top : placed.bottom, c.top_inside ? work.top : work.bottom);
        clamped.show(false);
    }
}

// ---- control text and tabs -----------------------------------------------------------

TEST_F(dlg_base_test, ItemTextOfEmptyMissingAndLongControls)
{
    EXPECT_EQ(dialog.get_item_text(IDC_EXIT), utf8_to_wide("退出"));
    EXPECT_EQ(dialog.get_item_text(IDC_PAGE_AREA), L"");
    EXPECT_EQ(dialog.get_item_text(4242), L"");

    const std::wstring long_text(1000, L'x');
    SetDlgItemTextW(dialog.hwnd, IDC_PAGE_AREA, long_text.c_str());
    EXPECT_EQ(dialog.get_item_text(IDC_PAGE_AREA), long_text);
}

TEST_F(dlg_base_test, TabPagesAreAppendedWithTheirObjectsAndNeverToANonWindow)
{
    const HWND tab = GetDlgItem(dialog.hwnd, IDC_MAIN_TAB);
    recording_dialog first(IDD_ERR_MSG, dialog.hwnd);
    recording_dialog second(IDD_ERR_MSG, dialog.hwnd);
    EXPECT_EQ(add_tab_page(tab, &first, L"one"), 0);
    EXPECT_EQ(add_tab_page(tab, &second, L"two"), 1);
    const tab_entry added = tab_at(tab, 1);
    EXPECT_EQ(added.label, L"two");
    EXPECT_EQ(added.page, &second);

    recording_dialog page(IDD_ERR_MSG, nullptr);
    EXPECT_EQ(add_tab_page(nullptr, &page, L"x"), -1);
    const HWND stale = plain_window(0, 0, 10, 10).get(); // destroyed at once
    EXPECT_EQ(add_tab_page(stale, &page, L"x"), -1);
}
