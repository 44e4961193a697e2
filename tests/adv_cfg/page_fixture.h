// A configuration page on the real template, as a child of a hidden parent window,
// with LOCALAPPDATA pointing at a fresh folder. The helpers act as a user does: they
// change a control, then send the notification the control itself would send.
#pragma once

#include "dialogs/dlg_adv_cfg.h"
#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class page_fixture : public testing::Test {
protected:
    void TearDown() override;

    // LOCALAPPDATA\oem\config\debug.cfg with single separators.
    std::wstring cfg_file(const std::wstring& oem = L"VeltaScan") const;
    // Writes debug.cfg of `oem` (creating its folders) before or after the page opens.
    void prepare(const std::string& bytes, const std::wstring& oem = L"VeltaScan") const;
    std::string file_bytes(const std::wstring& oem = L"VeltaScan") const;
    bool file_present(const std::wstring& oem = L"VeltaScan") const;

    void open_page();
    // Closes the page open before, writes debug.cfg of the first OEM and opens the page.
    void open_page(const std::string& bytes);

    HWND item(int id) const;
    std::wstring text(int id) const;
    int selection(int id) const;
    std::wstring selected_text(int id) const;
    int item_count(int id) const;
    bool checked(int id) const;
    bool enabled(int id) const;

    void choose(int id, int index);               // CB_SETCURSEL, then CBN_SELCHANGE
    void tick(int id, bool on);                   // BM_SETCHECK, then BN_CLICKED
    void type(int id, const std::wstring& value); // SetWindowTextW, marked edited, EN_KILLFOCUS
    void retype(int id);                          // marked edited (text unchanged), EN_KILLFOCUS
    void leave(int id);                           // EN_KILLFOCUS alone: the focus passes through
    void click(int id);                           // BN_CLICKED alone

    // The OEM folder as the page derives it: LOCALAPPDATA\oem.
    std::wstring oem_folder(const std::wstring& oem = L"VeltaScan") const;

    temp_dir tmp;
    scoped_env local_app_data{L"LOCALAPPDATA", tmp.path().c_str()};
    HWND parent = nullptr;
    std::unique_ptr<dlg_adv_cfg> page;
};

// Item `index` of a combo box's list.
std::wstring combo_item_text(HWND combo, int index);

// Unicode text written in test sources as UTF-8.
inline std::wstring w(const char* utf8) { return utf8_to_wide(utf8); }
