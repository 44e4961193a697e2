#include "app/dlg_main.h"

#include "dialogs/dlg_adv_cfg.h"
#include "dialogs/dlg_err_msg.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <memory>
#include <vector>

HINSTANCE app_instance = nullptr;

namespace {

// The pages outlive the main window object: tab items point at them until the
// process ends. Owning them here frees them at exit, after every window is gone, so
// their destructors find no window to destroy.
std::vector<std::unique_ptr<dlg_base>>& page_owner()
{
    static std::vector<std::unique_ptr<dlg_base>> pages;
    return pages;
}

template <typename page_type>
page_type& keep_page(std::unique_ptr<page_type> page)
{
    page_type& kept = *page;
    page_owner().push_back(std::move(page));
    return kept;
}

} // namespace

dlg_main::dlg_main() : dlg_base(IDD_MAIN, nullptr) {}

INT_PTR dlg_main::handle_message(UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        create_pages();
        UpdateWindow(hwnd);
        return 1;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header && header->hwndFrom == tab_ctrl && tab_ctrl) {
            if (header->code == TCN_SELCHANGING)
                return 0;
            if (header->code == TCN_SELCHANGE)
                select_page(static_cast<std::int32_t>(SendMessageW(tab_ctrl, TCM_GETCURSEL, 0, 0)));
        }
        return 1;
    }
    case WM_COMMAND:
        // The caption's close button, the system menu and Alt+F4 arrive as IDCANCEL.
        if ((LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) && may_close())
            PostQuitMessage(0);
        return 1;
    default:
        return 0;
    }
}

void dlg_main::create_pages()
{
    dlg_err_msg& error_page = keep_page(std::make_unique<dlg_err_msg>(hwnd));
    error_page.create(app_instance);

    SetWindowTextW(hwnd, main_window_title);

    RECT area{};
    GetWindowRect(GetDlgItem(hwnd, IDC_PAGE_AREA), &area);
    POINT corner{area.left, area.top};
    ScreenToClient(hwnd, &corner);
    OffsetRect(&area, corner.x - area.left, corner.y - area.top);

    tab_ctrl = GetDlgItem(hwnd, IDC_MAIN_TAB);

    install_page(error_page, area, L"错误信息");

    config_page = &keep_page(std::make_unique<dlg_adv_cfg>(hwnd));
    config_page->create(app_instance);
    if (install_page(*config_page, area, L"高级配置"))
        config_tab = static_cast<std::int32_t>(SendMessageW(tab_ctrl, TCM_GETITEMCOUNT, 0, 0)) - 1;

    select_page(0);
}

bool dlg_main::install_page(dlg_base& page, const RECT& area, const wchar_t* label)
{
    if (!IsWindow(page.hwnd))
        return false;
    MoveWindow(page.hwnd, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
    const LRESULT font = SendMessageW(GetDlgItem(hwnd, IDC_EXIT), WM_GETFONT, 0, 0);
    if (SendMessageW(page.hwnd, WM_SETFONT, static_cast<WPARAM>(font), TRUE) == 0)
        page.on_font_changed();
    add_tab_page(tab_ctrl, &page, label);
    return true;
}

bool dlg_main::may_close()
{
    if (!config_page || !config_page->has_unwritten_text())
        return true;
    // The question is about the text on the configuration page: show it.
    SendMessageW(tab_ctrl, TCM_SETCURSEL, static_cast<WPARAM>(config_tab), 0);
    select_page(config_tab);
    return config_page->may_leave_file();
}

dlg_base* dlg_main::select_page(std::int32_t index)
{
    dlg_base* shown = nullptr;
    for (std::int32_t i = 0;; ++i) {
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        if (!SendMessageW(tab_ctrl, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            break;
        auto* page = reinterpret_cast<dlg_base*>(item.lParam);
        if (!page)
            break;
        if (i == index) {
            page->show(true);
            shown = page;
        } else {
            page->show(false);
        }
    }
    return shown;
}
