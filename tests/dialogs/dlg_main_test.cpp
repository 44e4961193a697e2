// The main window built as the entry function builds it: title, tabs, pages, page
// switching and every way of ending the loop.
#include "tests/dialogs/dialog_helpers.h"

#include "dialogs/dlg_adv_cfg.h"
#include "dialogs/dlg_err_msg.h"
#include "tests/common/answered_prompts.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class main_window_test : public dialog_test {
protected:
    void SetUp() override
    {
        dialog_test::SetUp();
        ASSERT_NE(main.create(app_instance), nullptr);
        tab = GetDlgItem(main.hwnd, IDC_MAIN_TAB);
    }

    dlg_base* page_of_tab(int index) const { return tab_at(tab, index).page; }
    // Which of the two pages is visible: 0 or 1; -1 for neither, 2 for both.
    int shown_page() const
    {
        const bool first = has_style(page_of_tab(0)->hwnd, WS_VISIBLE);
        const bool second = has_style(page_of_tab(1)->hwnd, WS_VISIBLE);
        return first == second ? (first ? 2 : -1) : (first ? 0 : 1);
    }

    // What the tab control does on a click: new selection, then TCN_SELCHANGE.
    void choose_tab(int index)
    {
        SendMessageW(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        NMHDR header{tab, static_cast<UINT_PTR>(IDC_MAIN_TAB), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main.hwnd, WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&header));
    }

    init_answer_probe<dlg_main> main;
    HWND tab = nullptr;
};

} // namespace

// ---- start-up ------------------------------------------------------------------------

TEST_F(main_window_test, TitleAndTabLabels)
{
    wchar_t title[64] = {};
    GetWindowTextW(main.hwnd, title, 64);
    EXPECT_EQ(title, utf8_to_wide("扫描仪错误信息及高级调试配置"));
    EXPECT_EQ(main.tab_ctrl, tab);
    EXPECT_EQ(main.init_answer, 1);
    ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tab_at(tab, 0).label, utf8_to_wide("错误信息"));
    EXPECT_EQ(tab_at(tab, 1).label, utf8_to_wide("高级配置"));
    // Nobody chose a tab yet: the control's own default selection stands.
    EXPECT_FALSE(IsWindowVisible(main.hwnd));
}

TEST_F(main_window_test, TabItemDataAreThePageObjectsCoveringThePageArea)
{
    auto* errors = dynamic_cast<dlg_err_msg*>(page_of_tab(0));
    auto* config = dynamic_cast<dlg_adv_cfg*>(page_of_tab(1));
    ASSERT_NE(errors, nullptr);
    ASSERT_NE(config, nullptr);

    EXPECT_EQ(errors->template_id, IDD_ERR_MSG);
    EXPECT_EQ(config->template_id, IDD_ADV_CFG);
    const RECT area = window_rect(GetDlgItem(main.hwnd, IDC_PAGE_AREA));
    for (dlg_base* page : {static_cast<dlg_base*>(errors), static_cast<dlg_base*>(config)}) {
        EXPECT_EQ(page->parent, main.hwnd);
        EXPECT_EQ(GetParent(page->hwnd), main.hwnd);
        EXPECT_EQ(GetPropW(page->hwnd, dlg_base_object_prop_name), static_cast<HANDLE>(page));
        EXPECT_EQ(page->modal_result, 0);
        const RECT placed = window_rect(page->hwnd);
        EXPECT_TRUE(EqualRect(&area, &placed)) << page->template_id;
    }
    EXPECT_NE(errors->list_ctrl, nullptr);
}

// ---- switching pages -----------------------------------------------------------------

TEST_F(main_window_test, ErrorPageVisibleAtStartThenTabChangesSwapPages)
{
    EXPECT_EQ(shown_page(), 0);

    choose_tab(1);
    EXPECT_EQ(shown_page(), 1);

    choose_tab(0);
    EXPECT_EQ(shown_page(), 0);

    // Changing tabs never touches the main window's enabled state.
    EXPECT_TRUE(IsWindowEnabled(main.hwnd));
}

TEST_F(main_window_test, SelectingAnIndexNoTabHasOrATabWithoutAPageHidesBothPages)
{
    for (int index : {-1, 2, 100}) {
        main.select_page(0);
        EXPECT_EQ(main.select_page(index), nullptr) << index;
        EXPECT_EQ(shown_page(), -1);
    }
    EXPECT_EQ(main.select_page(1), page_of_tab(1));
    EXPECT_EQ(shown_page(), 1);

    // A tab without a page ends the walk: a page after it is never shown.
    recording_dialog later(IDD_ERR_MSG, main.hwnd);
    ASSERT_NE(later.create(), nullptr);
    ASSERT_EQ(add_tab_page(tab, nullptr, L"none"), 2);
    ASSERT_EQ(add_tab_page(tab, &later, L"later"), 3);
    EXPECT_EQ(main.select_page(3), nullptr);
    EXPECT_FALSE(has_style(later.hwnd, WS_VISIBLE));
    EXPECT_EQ(shown_page(), -1);
}

TEST_F(main_window_test, SelectionChangeIsAllowedAndOtherNotificationsIgnored)
{
    NMHDR changing{tab, static_cast<UINT_PTR>(IDC_MAIN_TAB), static_cast<UINT>(TCN_SELCHANGING)};
    EXPECT_EQ(main.handle_message(WM_NOTIFY, IDC_MAIN_TAB, reinterpret_cast<LPARAM>(&changing)), 0);

    // A TCN_SELCHANGE from another sender does not switch pages.
    SendMessageW(tab, TCM_SETCURSEL, 1, 0);
    NMHDR foreign{GetDlgItem(main.hwnd, IDC_EXIT), static_cast<UINT_PTR>(IDC_EXIT), static_cast<UINT>(TCN_SELCHANGE)};
    EXPECT_EQ(main.handle_message(WM_NOTIFY, IDC_EXIT, reinterpret_cast<LPARAM>(&foreign)), 1);
    EXPECT_EQ(shown_page(), 0);
}

TEST_F(main_window_test, AnInstalledPageIsPlacedToldOfTheFontAndGivenATabAPageWithoutWindowIsNot)
{
    dlg_base missing(4711, main.hwnd); // no such template
    ASSERT_EQ(missing.create(app_instance), nullptr);
    EXPECT_FALSE(main.install_page(missing, RECT{0, 0, 10, 10}, L"x"));
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
    // So no tab change can mistake it for a top-level dialog and disable the main window.
    choose_tab(1);
    choose_tab(0);
    EXPECT_TRUE(IsWindowEnabled(main.hwnd));

    recording_dialog page(IDD_ERR_MSG, main.hwnd);
    ASSERT_NE(page.create(), nullptr);
    const RECT area{5, 6, 105, 86};
    ASSERT_TRUE(main.install_page(page, area, L"x"));
    const RECT placed = client_rect_in_parent(page.hwnd);
    EXPECT_TRUE(EqualRect(&area, &placed));
    // The main window's font is sent to the page; a dialog answers WM_SETFONT with 0,
    // so the page is told once.
    EXPECT_TRUE(page.received(WM_SETFONT));
    EXPECT_EQ(page.font_changes, 1);
    EXPECT_EQ(page_of_tab(2), &page);
}

// ---- ending the loop -----------------------------------------------------------------

TEST_F(main_window_test, ExitAndCancelCommandsPostQuitWithCodeZero)
{
    const struct {
        WPARAM wparam;
        bool quits;
    } cases[] = {
        {MAKEWPARAM(IDOK, BN_CLICKED), true},
        {MAKEWPARAM(IDCANCEL, 0), true},
        {MAKEWPARAM(IDOK, 0x1234), true}, // the notification code does not matter
        {MAKEWPARAM(3, BN_CLICKED), false},
        {MAKEWPARAM(IDC_MAIN_TAB, 0), false},
    };
    for (const auto& c : cases) {
        pump_messages();
        EXPECT_EQ(main.handle_message(WM_COMMAND, c.wparam, 0), 1);
        MSG message{};
        const bool quit = PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(quit, c.quits) << LOWORD(c.wparam);
        EXPECT_EQ(quit ? message.wParam : 0u, 0u) << "the quit code";
    }
}

TEST_F(main_window_test, ExitButtonCloseAndSystemMenuAllQuitWithZero)
{
    const struct {
        HWND window;
        UINT message;
        WPARAM wparam;
    } cases[] = {
        {GetDlgItem(main.hwnd, IDC_EXIT), BM_CLICK, 0}, {main.hwnd, WM_CLOSE, 0}, {main.hwnd, WM_SYSCOMMAND, SC_CLOSE}};
    ShowWindow(main.hwnd, SW_SHOW); // a hidden button ignores clicks
    for (const auto& c : cases) {
        pump_messages();
        PostMessageW(c.window, c.message, c.wparam, 0);
        EXPECT_EQ(pump_messages(50), 0) << c.message; // -1: no WM_QUIT came
    }
    ShowWindow(main.hwnd, SW_HIDE);
}

TEST_F(main_window_test, TypingNotWrittenIsAskedAboutBeforeTheProgramEnds)
{
    ASSERT_TRUE(make_dirs(appdata.file(L"VeltaScan\\config")));
    const dlg_base& config = *page_of_tab(1);
    const HWND box = GetDlgItem(config.hwnd, IDC_CFG_CONTENT);
    const struct {
        int answer;
        bool quits;
        const char* file;
    } cases[] = {{IDCANCEL, false, ""}, {IDNO, true, ""}, {IDYES, true, "[log]\r\nlevel=fatal\r\n"}};
    for (const auto& c : cases) {
        SetWindowTextW(box, L"[log]\r\nlevel=fatal\r\n");
        SendMessageW(box, EM_SETMODIFY, TRUE, 0);
        answered_prompts prompts({c.answer});
        pump_messages();
        main.handle_message(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        MSG message{};
        EXPECT_EQ(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, c.quits) << c.answer;
        EXPECT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(shown_page(), 1) << "the page of the text asked about";
        EXPECT_EQ(read_file_bytes(config.get_item_text(IDC_CFG_PATH)), c.file);
    }
}

TEST_F(main_window_test, LoopShowsTheWindowCentredOnTheDesktopAndHidesItAtTheEnd)
{
    PostMessageW(main.hwnd, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(main.run_modal(nullptr), 0);
    EXPECT_TRUE(centred_on(main.hwnd, window_rect(GetDesktopWindow())));
    EXPECT_FALSE(IsWindowVisible(main.hwnd));
}

TEST_F(main_window_test, DestroyingTheMainObjectDestroysEveryWindow)
{
    auto owner = std::make_unique<dlg_main>();
    ASSERT_NE(owner->create(app_instance), nullptr);
    const HWND window = owner->hwnd;
    const HWND first_page = FindWindowExW(window, nullptr, L"#32770", nullptr);
    ASSERT_NE(first_page, nullptr);

    owner.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(first_page));
}

// ---- the templates -------------------------------------------------------------------

TEST_F(main_window_test, MainTemplateStylesAndLayout)
{
    EXPECT_TRUE(has_style(main.hwnd, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_FALSE(has_style(main.hwnd, WS_MAXIMIZEBOX));
    EXPECT_FALSE(has_style(main.hwnd, WS_THICKFRAME));

    const HWND area = GetDlgItem(main.hwnd, IDC_PAGE_AREA);
    EXPECT_FALSE(has_style(area, WS_VISIBLE));
    EXPECT_TRUE(has_style(area, WS_GROUP));
    EXPECT_TRUE(has_style(tab, WS_VISIBLE));
    const HWND exit_button = GetDlgItem(main.hwnd, IDC_EXIT);
    EXPECT_EQ(GetWindowLongW(exit_button, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(has_style(exit_button, WS_TABSTOP | WS_VISIBLE));

    // Positions and sizes in dialog units, as the template gives them.
    const struct {
        int id, x, y, width, height;
    } items[] = {{IDC_EXIT, 326, 292, 50, 14}, {IDC_MAIN_TAB, 7, 7, 369, 14}, {IDC_PAGE_AREA, 7, 21, 369, 270}};
    for (const auto& item : items)
        EXPECT_TRUE(placed_as_template(GetDlgItem(main.hwnd, item.id), item.x, item.y, item.width, item.height))
            << item.id;
    RECT client{};
    GetClientRect(main.hwnd, &client);
    const RECT expected_client = dialog_units_to_client(main.hwnd, 0, 0, 383, 313);
    EXPECT_TRUE(EqualRect(&expected_client, &client));
}
