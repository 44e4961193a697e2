#include "tests/adv_cfg/page_fixture.h"

#include "resources/resource.h"

#include <windows.h>

void page_fixture::TearDown()
{
    page.reset();
    if (parent)
        DestroyWindow(parent);
    parent = nullptr;
}

std::wstring page_fixture::oem_folder(const std::wstring& oem) const { return tmp.path() + L"\\" + oem; }

std::wstring page_fixture::cfg_file(const std::wstring& oem) const { return oem_folder(oem) + L"\\config\\debug.cfg"; }

void page_fixture::prepare(const std::string& bytes, const std::wstring& oem) const
{
    ASSERT_TRUE(make_dirs(oem_folder(oem) + L"\\config"));
    ASSERT_TRUE(write_file_bytes(cfg_file(oem), bytes));
}

std::string page_fixture::file_bytes(const std::wstring& oem) const { return read_file_bytes(cfg_file(oem)); }

bool page_fixture::file_present(const std::wstring& oem) const { return file_exists(cfg_file(oem)); }

void page_fixture::open_page()
{
    parent = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    page = std::make_unique<dlg_adv_cfg>(parent);
    ASSERT_NE(page->create(), nullptr);
}

void page_fixture::open_page(const std::string& bytes)
{
    TearDown();
    prepare(bytes);
    open_page();
}

HWND page_fixture::item(int id) const { return GetDlgItem(page->hwnd, id); }

std::wstring page_fixture::text(int id) const { return page->get_item_text(id); }

int page_fixture::selection(int id) const { return static_cast<int>(SendMessageW(item(id), CB_GETCURSEL, 0, 0)); }

std::wstring combo_item_text(HWND combo, int index)
{
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring page_fixture::selected_text(int id) const
{
    const int index = selection(id);
    return index == CB_ERR ? L"<none>" : combo_item_text(item(id), index);
}

int page_fixture::item_count(int id) const { return static_cast<int>(SendMessageW(item(id), CB_GETCOUNT, 0, 0)); }

bool page_fixture::checked(int id) const { return IsDlgButtonChecked(page->hwnd, id) == BST_CHECKED; }

bool page_fixture::enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }

void page_fixture::choose(int id, int index)
{
    SendMessageW(item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(page->hwnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(item(id)));
}

void page_fixture::tick(int id, bool on)
{
    SendMessageW(item(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    click(id);
}

void page_fixture::click(int id)
{
    SendMessageW(page->hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item(id)));
}

void page_fixture::type(int id, const std::wstring& value)
{
    SetWindowTextW(item(id), value.c_str());
    retype(id);
}

void page_fixture::retype(int id)
{
    // What typing leaves behind: the box marked as edited by the user.
    SendMessageW(item(id), EM_SETMODIFY, TRUE, 0);
    leave(id);
}

void page_fixture::leave(int id)
{
    SendMessageW(page->hwnd, WM_COMMAND, MAKEWPARAM(id, EN_KILLFOCUS), reinterpret_cast<LPARAM>(item(id)));
}
