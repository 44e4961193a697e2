// The dialog base: binding and routing, teardown, the modal loop's centring, show,
// reading control text and adding tabs.
#include "tests/dialogs/dialog_helpers.h"
#include "tests/dialogs/import_patch.h"

#include "resources/resource.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class dlg_base_test : public testing::Test {
protected:
    void SetUp() override
    {
        drain_queue();
        app_instance = GetModuleHandleW(nullptr);
    }
    void TearDown() override { drain_queue(); }

    temp_dir appdata;
    scoped_env env{L"LOCALAPPDATA", appdata.path().c_str()};
};

// True when `upper` comes before `lower` in the z-order of top-level windows.
bool is_above(HWND upper, HWND lower)
{
    for (HWND next = GetWindow(upper, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
        if (next == lower)
            return true;
    return false;
}

int count_binding_props(HWND window)
{
    int count = 0;
    EnumPropsExW(
        window,
        [](HWND, LPWSTR name, HANDLE, ULONG_PTR user) -> BOOL {
            // Atom-named entries come as integers, not strings.
            if (!IS_INTRESOURCE(name) && std::wstring(name) == dlg_base_object_prop_name)
                ++*reinterpret_cast<int*>(user);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

} // namespace

// ---- binding and routing -------------------------------------------------------------

TEST_F(dlg_base_test, InitDialogIsTheFirstMessageAndCarriesTheObject)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);

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
    plain_window window(0, 0, 10, 10);
    // An object of the base class itself handles nothing either.
    dlg_base plain(IDD_MAIN, nullptr);
    ASSERT_NE(plain.create(), nullptr);
    for (HWND target : {window.get(), plain.hwnd})
        for (UINT message : {static_cast<UINT>(WM_SETFONT), static_cast<UINT>(WM_COMMAND),
                             static_cast<UINT>(WM_USER + 5), static_cast<UINT>(WM_DESTROY)})
            EXPECT_EQ(base_dialog_proc(target, message, 0, 0), 0) << message;
}

TEST_F(dlg_base_test, DestroyUnbindsAndLaterMessagesNeverReachTheObject)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    const HWND window = dialog.hwnd;
    dialog.messages.clear();

    EXPECT_EQ(base_dialog_proc(window, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(GetPropW(window, dlg_base_object_prop_name), nullptr);
    EXPECT_EQ(base_dialog_proc(window, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(base_dialog_proc(window, WM_COMMAND, IDOK, 0), 0);
    EXPECT_TRUE(dialog.messages.empty());

    // The real destruction: neither WM_DESTROY nor WM_NCDESTROY reaches the object,
    // which stays alive with its old handle.
    DestroyWindow(window);
    EXPECT_FALSE(dialog.received(WM_DESTROY));
    EXPECT_FALSE(dialog.received(WM_NCDESTROY));
    EXPECT_EQ(dialog.hwnd, window);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(dlg_base_test, LastMessageRemovesThePropertyEntry)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    EXPECT_EQ(count_binding_props(dialog.hwnd), 1);

    base_dialog_proc(dialog.hwnd, WM_DESTROY, 0, 0);
    EXPECT_EQ(count_binding_props(dialog.hwnd), 1); // cleared, still present
    EXPECT_EQ(base_dialog_proc(dialog.hwnd, WM_NCDESTROY, 0, 0), 0);
    EXPECT_EQ(count_binding_props(dialog.hwnd), 0);
    EXPECT_FALSE(dialog.received(WM_NCDESTROY));
}

// ---- teardown ------------------------------------------------------------------------

TEST_F(dlg_base_test, DestroyingTheObjectDestroysItsWindowAndEnablesTheParent)
{
    plain_window owner(50, 50, 300, 200);
    auto dialog = std::make_unique<recording_dialog>(IDD_MAIN, owner.get());
    ASSERT_NE(dialog->create(), nullptr);
    const HWND window = dialog->hwnd;
    EnableWindow(owner.get(), FALSE);

    dialog.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(dlg_base_test, DestroyingAnObjectWhoseWindowIsGoneStillEnablesAndRaisesTheParent)
{
    plain_window owner(50, 50, 300, 200);
    plain_window other(60, 60, 300, 200);
    auto dialog = std::make_unique<recording_dialog>(IDD_MAIN, owner.get());
    ASSERT_NE(dialog->create(), nullptr);
    DestroyWindow(dialog->hwnd);
    EnableWindow(owner.get(), FALSE);
    SetWindowPos(other.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(is_above(other.get(), owner.get()));

    dialog.reset();
    EXPECT_TRUE(IsWindow(owner.get()));
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    // No window of the object is left to hand the activation back: only the destructor
    // itself can have brought the parent up.
    EXPECT_TRUE(is_above(owner.get(), other.get()));
}

// ---- the modal loop -----------------------------------------------------------------

namespace {

// Runs the loop once: a WM_APP carrying `result` is handled first, then WM_QUIT ends it
// (unless the WM_APP already did).
std::int32_t run_once(recording_dialog& dialog, HWND owner, std::int32_t result = 0)
{
    dialog.watched_owner = owner;
    PostMessageW(dialog.hwnd, WM_APP, static_cast<WPARAM>(result), 0);
    PostQuitMessage(0);
    return dialog.run_modal(owner);
}

struct centring_case {
    const char* name;
    int extra_width;  // owner width minus dialog width
    int extra_height; // owner height minus dialog height
    int expected_dx;  // dialog left minus owner left
    int expected_dy;
};

void PrintTo(const centring_case& c, std::ostream* out) { *out << c.name; }

class run_modal_centring : public dlg_base_test, public testing::WithParamInterface<centring_case> {};

} // namespace

TEST_P(run_modal_centring, HalvesTheDifferenceTruncatingTowardZero)
{
    const centring_case& c = GetParam();
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    const RECT own = window_rect(dialog.hwnd);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    // Away from the screen's origin, so where the dialog starts would show in the result.
    MoveWindow(dialog.hwnd, 37, 53, width, height, FALSE);

    plain_window owner(200, 150, width + c.extra_width, height + c.extra_height);
    EXPECT_EQ(run_once(dialog, owner.get()), 0);

    const RECT placed = window_rect(dialog.hwnd);
    EXPECT_EQ(placed.left - 200, c.expected_dx);
    EXPECT_EQ(placed.top - 150, c.expected_dy);
    EXPECT_EQ(placed.right - placed.left, width); // size unchanged
    EXPECT_EQ(placed.bottom - placed.top, height);
}

INSTANTIATE_TEST_SUITE_P(
    odd_and_even, run_modal_centring,
    testing::Values(centring_case{"wider_by_5", 5, 5, 2, 2}, centring_case{"narrower_by_5", -5, -5, -2, -2},
                    centring_case{"wider_by_40", 40, 10, 20, 5}, centring_case{"same_size", 0, 0, 0, 0},
                    centring_case{"narrower_by_1", -1, 3, 0, 1}),
    [](const testing::TestParamInfo<centring_case>& param) { return std::string(param.param.name); });

namespace {

// Every EnableWindow call of the program while `enable_spy` is installed.
struct enable_call {
    HWND window;
    BOOL enable;
};
std::vector<enable_call> enable_calls;
const import_patch* enable_spy = nullptr;

BOOL WINAPI record_enable_window(HWND window, BOOL enable)
{
    enable_calls.push_back({window, enable});
    return reinterpret_cast<BOOL(WINAPI*)(HWND, BOOL)>(enable_spy->original())(window, enable);
}

} // namespace

TEST_F(dlg_base_test, ModalLoopDisablesAWindowOwnerOnlyWhileItRunsAndNeverTheDesktop)
{
    plain_window window_owner(10, 10, 200, 100);
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
    const import_patch spy("user32.dll", "EnableWindow", reinterpret_cast<const void*>(&record_enable_window));
    enable_spy = &spy;
    ASSERT_TRUE(spy.active());
    for (const owner_case& c : cases) {
        recording_dialog dialog(IDD_MAIN, nullptr);
        ASSERT_NE(dialog.create(), nullptr);
        enable_calls.clear();
        EXPECT_EQ(run_once(dialog, c.owner), 0) << c.name;
        ASSERT_TRUE(dialog.received(WM_APP)) << c.name;
        const bool disabled = std::any_of(enable_calls.begin(), enable_calls.end(), [&](const enable_call& call) {
            return call.window == c.owner && !call.enable;
        });
        EXPECT_EQ(disabled, c.disabled) << c.name;
        EXPECT_EQ(dialog.owner_enabled_in_loop, !c.disabled) << c.name;
        EXPECT_TRUE(IsWindowEnabled(c.owner)) << c.name;
        EXPECT_FALSE(IsWindowVisible(dialog.hwnd)) << c.name; // hidden again when the loop ends
    }
}

TEST_F(dlg_base_test, ModalLoopGivesKeysNoDialogMeaning)
{
    // Esc and Enter would become IDCANCEL and IDOK (closing the program), Tab and the
    // arrows would move the focus, if the loop let the dialog manager see the keys.
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
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

TEST_F(dlg_base_test, ModalLoopWithoutOwnerCentresOnTheDesktopWindow)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    EXPECT_EQ(run_once(dialog, nullptr), 0);

    const RECT desktop = window_rect(GetDesktopWindow());
    const RECT placed = window_rect(dialog.hwnd);
    const int width = placed.right - placed.left;
    const int height = placed.bottom - placed.top;
    EXPECT_EQ(placed.left, desktop.left + ((desktop.right - desktop.left) - width) / 2);
    EXPECT_EQ(placed.top, desktop.top + ((desktop.bottom - desktop.top) - height) / 2);
}

TEST_F(dlg_base_test, NonZeroModalResultEndsTheLoopBeforeWmQuit)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    EXPECT_EQ(run_once(dialog, nullptr, 7), 7);

    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)); // never retrieved

    // The next run starts from 0 again: ended by WM_QUIT alone, it returns 0, not 7.
    PostQuitMessage(0);
    EXPECT_EQ(dialog.run_modal(nullptr), 0);
}

// ---- show ----------------------------------------------------------------------------

TEST_F(dlg_base_test, ShowingAChildOnlyShowsIt)
{
    recording_dialog host(IDD_MAIN, nullptr);
    ASSERT_NE(host.create(), nullptr);
    recording_dialog page(IDD_ERR_MSG, host.hwnd);
    ASSERT_NE(page.create(), nullptr);
    MoveWindow(page.hwnd, 3, 4, 100, 80, FALSE);
    const RECT before = window_rect(page.hwnd);

    page.show(true);
    EXPECT_TRUE(has_style(page.hwnd, WS_VISIBLE));
    const RECT after = window_rect(page.hwnd);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(IsWindowEnabled(host.hwnd));

    page.show(false);
    EXPECT_FALSE(has_style(page.hwnd, WS_VISIBLE));
    EXPECT_TRUE(IsWindowEnabled(host.hwnd));
}

TEST_F(dlg_base_test, ShowingATopLevelDialogWithoutParentMakesItTopmostOnTheDesktop)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    dialog.show(true);

    EXPECT_TRUE(IsWindowVisible(dialog.hwnd));
    EXPECT_NE(GetWindowLongW(dialog.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    const RECT desktop = window_rect(GetDesktopWindow());
    const RECT placed = window_rect(dialog.hwnd);
    EXPECT_EQ(placed.left, desktop.left + ((desktop.right - desktop.left) - (placed.right - placed.left)) / 2);
    EXPECT_EQ(placed.top, desktop.top + ((desktop.bottom - desktop.top) - (placed.bottom - placed.top)) / 2);

    dialog.show(false);
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd));
}

namespace {

RECT work_area_of(HWND window)
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

} // namespace

TEST_F(dlg_base_test, ShowingATopLevelDialogCentresOnItsParentAndDisablesIt)
{
    plain_window owner(300, 200, 700, 600);
    recording_dialog dialog(IDD_MAIN, owner.get());
    ASSERT_NE(dialog.create(), nullptr);
    const RECT own = window_rect(dialog.hwnd);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;

    dialog.show(true);
    const RECT placed = window_rect(dialog.hwnd);
    EXPECT_EQ(placed.left, 300 + (700 - width) / 2);
    EXPECT_EQ(placed.top, 200 + (600 - height) / 2);
    EXPECT_EQ(GetWindowLongW(dialog.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(IsWindowEnabled(owner.get()));

    dialog.show(false);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd));
}

namespace {

struct clamp_case {
    const char* name;
    bool parent_at_bottom_right; // else at the top-left corner, partly off the screen
    int grow_x, grow_y;          // > 0: the dialog is this much wider (taller) than the work area
    bool left_inside, top_inside; // else the right (bottom) edge meets the work area's
};

void PrintTo(const clamp_case& c, std::ostream* out) { *out << c.name; }

class show_clamping : public dlg_base_test, public testing::WithParamInterface<clamp_case> {};

} // namespace

TEST_P(show_clamping, KeepsTheDialogInsideTheWorkAreaLeftAndTopWinning)
{
    const clamp_case& c = GetParam();
    // A tiny parent near a corner: centring on it would push the dialog out.
    plain_window parent(0, 0, 20, 20);
    const RECT work = work_area_of(parent.get());
    if (c.parent_at_bottom_right)
        MoveWindow(parent.get(), work.right - 20, work.bottom - 20, 20, 20, FALSE);
    else
        MoveWindow(parent.get(), work.left - 10, work.top - 10, 20, 20, FALSE);
    recording_dialog dialog(IDD_MAIN, parent.get());
    ASSERT_NE(dialog.create(), nullptr);
    if (c.grow_x != 0 || c.grow_y != 0) {
        // Oversized in one direction only: a window covering the whole screen makes Wine
        // grab the pointer for it, which now and then ends the program with an X error.
        const int width = work.right - work.left + c.grow_x;
        const int height = work.bottom - work.top + c.grow_y;
        SetWindowPos(dialog.hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const RECT sized = window_rect(dialog.hwnd);
        ASSERT_EQ(sized.right - sized.left, width);
        ASSERT_EQ(sized.bottom - sized.top, height);
    }

    dialog.show(true);
    const RECT placed = window_rect(dialog.hwnd);
    if (c.left_inside)
        EXPECT_EQ(placed.left, work.left);
    else
        EXPECT_EQ(placed.right, work.right);
    if (c.top_inside)
        EXPECT_EQ(placed.top, work.top);
    else
        EXPECT_EQ(placed.bottom, work.bottom);
    dialog.show(false);
}

INSTANTIATE_TEST_SUITE_P(
    corners_and_sizes, show_clamping,
    testing::Values(clamp_case{"near_bottom_right", true, 0, 0, false, false},
                    clamp_case{"near_top_left", false, 0, 0, true, true},
                    clamp_case{"wider_than_the_work_area_near_bottom_right", true, 150, -200, true, false},
                    clamp_case{"taller_than_the_work_area_near_bottom_right", true, -300, 150, false, true},
                    clamp_case{"wider_than_the_work_area_near_top_left", false, 150, -200, true, true},
                    clamp_case{"taller_than_the_work_area_near_top_left", false, -300, 150, true, true}),
    [](const testing::TestParamInfo<clamp_case>& param) { return std::string(param.param.name); });

// ---- control text and tabs -----------------------------------------------------------

TEST_F(dlg_base_test, ItemTextOfEmptyMissingAndLongControls)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);

    EXPECT_EQ(dialog.get_item_text(IDC_EXIT), utf8_to_wide("退出"));
    EXPECT_EQ(dialog.get_item_text(IDC_PAGE_AREA), L"");
    EXPECT_EQ(dialog.get_item_text(4242), L"");

    const std::wstring long_text(1000, L'x');
    SetDlgItemTextW(dialog.hwnd, IDC_PAGE_AREA, long_text.c_str());
    EXPECT_EQ(dialog.get_item_text(IDC_PAGE_AREA), long_text);
}

TEST_F(dlg_base_test, TabPagesAreAppendedWithTheirObjects)
{
    recording_dialog dialog(IDD_MAIN, nullptr);
    ASSERT_NE(dialog.create(), nullptr);
    const HWND tab = GetDlgItem(dialog.hwnd, IDC_MAIN_TAB);
    recording_dialog first(IDD_ERR_MSG, dialog.hwnd);
    recording_dialog second(IDD_ERR_MSG, dialog.hwnd);

    EXPECT_EQ(add_tab_page(tab, &first, L"one"), 0);
    EXPECT_EQ(add_tab_page(tab, &second, L"two"), 1);

    wchar_t text[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, L"two");
    EXPECT_EQ(item.lParam, reinterpret_cast<LPARAM>(&second));
}

TEST_F(dlg_base_test, AddingATabToANonWindowFails)
{
    recording_dialog page(IDD_ERR_MSG, nullptr);
    EXPECT_EQ(add_tab_page(nullptr, &page, L"x"), -1);
    plain_window gone(0, 0, 10, 10);
    const HWND stale = gone.get();
    DestroyWindow(stale);
    EXPECT_EQ(add_tab_page(stale, &page, L"x"), -1);
}
