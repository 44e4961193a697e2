// The content box: "写入" (and Ctrl+S in the box) store its text as debug.cfg; text typed
// and not yet written is never replaced or dropped without asking.
#include "tests/adv_cfg/page_fixture.h"

#include "resources/resource.h"
#include "tests/common/answered_prompts.h"

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string debug_log = "[log]\r\nlevel=debug\r\n";
const std::wstring fatal_log = L"[log]\r\nlevel=fatal\r\n";

class adv_cfg_content : public page_fixture {
protected:
    // What typing into the box leaves: its text, marked edited; the focus stays in it.
    void edit_content(const std::wstring& value)
    {
        SetWindowTextW(item(IDC_CFG_CONTENT), value.c_str());
        SendMessageW(item(IDC_CFG_CONTENT), EM_SETMODIFY, TRUE, 0);
    }
    // Message box `index` held `part`, under the program's title, with these buttons.
    bool said(std::size_t index, const std::wstring& part, UINT buttons) const
    {
        const auto& shown = prompts.shown;
        return index < shown.size() && shown[index].text.find(part) != std::wstring::npos &&
               shown[index].title == w("扫描仪错误信息及高级调试配置") && (shown[index].buttons & MB_TYPEMASK) == buttons;
    }

    answered_prompts prompts;
};

TEST_F(adv_cfg_content, written_by_the_button_and_ctrl_s_and_shown_by_every_control)
{
    open_page(debug_log);
    edit_content(fatal_log + L"[cpu]\r\nadvanced=0\r\n");
    click(IDC_WRITE);
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=fatal\r\n[cpu]\r\nadvanced=0\r\n");
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 3);
    EXPECT_FALSE(checked(IDC_CPU_ADVANCED));

    edit_content(L"[log]\r\nlevel=warning\r\n");
    SendMessageW(item(IDC_CFG_CONTENT), WM_CHAR, 0x13, 0); // Ctrl+S
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=warning\r\n");
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 2);
    EXPECT_TRUE(checked(IDC_CPU_ADVANCED));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(adv_cfg_content, a_box_not_edited_writes_nothing)
{
    open_page();
    click(IDC_WRITE);
    EXPECT_FALSE(file_present()) << "no file is made for an empty box";

    prepare(debug_log);
    const HANDLE file = CreateFileW(cfg_file().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME long_ago{0x10000000, 0x01B00000};
    SetFileTime(file, nullptr, nullptr, &long_ago);
    CloseHandle(file);
    choose(IDC_OEM, 0);
    click(IDC_WRITE);
    SendMessageW(item(IDC_CFG_CONTENT), EM_SETMODIFY, TRUE, 0); // typed back to what it showed
    click(IDC_WRITE);
    EXPECT_EQ(file_bytes(), debug_log);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(cfg_file().c_str(), GetFileExInfoStandard, &data);
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &long_ago), 0) << "the file was written again";
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(adv_cfg_content, typing_survives_other_writes_and_overwriting_them_is_asked)
{
    open_page(debug_log);
    edit_content(fatal_log);
    tick(IDC_CPU_ADVANCED, false);
    const std::string ticked = debug_log + "[cpu]\r\nadvanced=0\r\n";
    EXPECT_EQ(file_bytes(), ticked);
    EXPECT_FALSE(checked(IDC_CPU_ADVANCED));
    EXPECT_EQ(text(IDC_CFG_CONTENT), fatal_log) << "another control's write kept the typing";

    prompts.answer_next({IDNO});
    click(IDC_WRITE);
    EXPECT_EQ(file_bytes(), ticked);
    EXPECT_EQ(text(IDC_CFG_CONTENT), fatal_log);
    EXPECT_TRUE(said(0, text(IDC_CFG_PATH), MB_YESNO));
    prompts.answer_next({IDYES});
    click(IDC_WRITE);
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=fatal\r\n");
    EXPECT_TRUE(checked(IDC_CPU_ADVANCED)) << "the page shows the file written";
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(adv_cfg_content, a_write_that_cannot_be_done_says_why_and_keeps_everything)
{
    const struct {
        const char* label;
        std::string bytes; // empty: no file, and no folder either
        bool read_only;
        std::wstring typed;
        const char* said;
    } cases[] = {
        {"read-only", debug_log, true, fatal_log, "无法写入"},
        {"a character the file cannot store", debug_log, false, L"[log]\r\nlevel=\u0E01\r\n", "第 2 行"},
        {"a NUL cuts the box", std::string("[log]\r\n\0x\r\n", 10), false, fatal_log, "空字符"},
        {"two bytes show as nothing", "ab", false, fatal_log, "2 个字节"},
        {"no folder", "", false, fatal_log, "无法写入"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(oem_folder());
        if (!c.bytes.empty())
            prepare(c.bytes);
        SetFileAttributesW(cfg_file().c_str(), c.read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        open_page();
        edit_content(c.typed);
        prompts.answer_next({IDOK});
        click(IDC_WRITE);
        EXPECT_EQ(file_bytes(), c.bytes);
        EXPECT_EQ(text(IDC_CFG_CONTENT), c.typed);
        EXPECT_TRUE(said(0, w(c.said), MB_OK));
        EXPECT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(file_present(), !c.bytes.empty());
        SetFileAttributesW(cfg_file().c_str(), FILE_ATTRIBUTE_NORMAL);
        TearDown();
        prompts.shown.clear();
    }
}

TEST_F(adv_cfg_content, another_oem_folder_asks_first_about_typing_not_written)
{
    const struct {
        const char* label;
        std::vector<int> answers;
        bool read_only, moves, written;
    } cases[] = {
        {"取消 stays", {IDCANCEL}, false, false, false},
        {"否 drops the typing", {IDNO}, false, true, false},
        {"是 writes and moves", {IDYES}, false, true, true},
        {"是 and the write fails: stays", {IDYES, IDOK}, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        prepare(debug_log);
        prepare("[log]\r\nlevel=warning\r\n", L"MorvelScan");
        SetFileAttributesW(cfg_file().c_str(), c.read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        open_page();
        edit_content(fatal_log);
        const std::wstring first_path = text(IDC_CFG_PATH);
        prompts.answer_next(c.answers);
        choose(IDC_OEM, 1);
        EXPECT_EQ(prompts.shown.size(), c.answers.size());
        EXPECT_TRUE(said(0, first_path, MB_YESNOCANCEL));
        EXPECT_EQ(file_bytes(), c.written ? "[log]\r\nlevel=fatal\r\n" : debug_log);
        EXPECT_EQ(text(IDC_CFG_PATH), c.moves ? cfg_file(L"MorvelScan") : first_path);
        EXPECT_EQ(selected_text(IDC_OEM), c.moves ? L"MorvelScan" : L"VeltaScan");
        EXPECT_EQ(text(IDC_CFG_CONTENT), c.moves ? L"[log]\r\nlevel=warning\r\n" : fatal_log);
        SetFileAttributesW(cfg_file().c_str(), FILE_ATTRIBUTE_NORMAL);
        TearDown();
        prompts.shown.clear();
    }
}

} // namespace
