// What the page shows for a given debug.cfg: defaults, odd values and encodings.
#include "tests/adv_cfg/page_fixture.h"

#include "dialogs/list_view.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// A golden file and what the page shows for it: control id, UTF-8 text; "<img>" is the
// derived image folder.
struct load_case {
    const char* fixture;
    std::vector<std::pair<int, std::string>> shows;
};

const load_case load_cases[] = {
    // Section names ignore case, tokens do not.
    {"section_names_in_other_case.cfg", {{IDC_LOG_TYPE, "不输出日志"}, {IDC_LOG_LEVEL, "所有日志"}}},
    {"tokens.cfg", {{IDC_LOG_TYPE, "输出到控制台"}, {IDC_LOG_LEVEL, "警告信息及以上"}}},
    // Empty values select item 0 or the derived default.
    {"empty_values.cfg",
     {{IDC_LOG_TYPE, "不输出日志"}, {IDC_LOG_LEVEL, "所有日志"}, {IDC_FINAL_IMG, "<img>"}, {IDC_USB_PATH, "<img>"}}},
    // The dump folder follows the image folder unless it has its own.
    {"image_folder_only.cfg", {{IDC_FINAL_IMG, "D:\\img"}, {IDC_USB_PATH, "D:\\img"}}},
    {"own_dump_folder.cfg", {{IDC_USB_PATH, "E:\\usb"}}},
    // notify-close out of range shows item 0.
    {"notify_close_7.cfg", {{IDC_NOTIFY_CLOSE, "自动模式"}}},
    {"notify_close_negative.cfg", {{IDC_NOTIFY_CLOSE, "自动模式"}}},
    {"notify_close_2.cfg", {{IDC_NOTIFY_CLOSE, "eventProcess调用"}}},
    // Negative numbers are shown unsigned.
    {"negative_numbers.cfg", {{IDC_MAX_IMG, "4294967291"}, {IDC_TWAIN_LEVEL, "4294967295"}}},
    {"number_with_trailing_text.cfg", {{IDC_MAX_IMG, "12"}}},
    // On only when 1.
    {"on_off_values.cfg",
     {{IDC_DUMP_USB, "unchecked"}, {IDC_CPU_ADVANCED, "unchecked"}, {IDC_LOG_ALL_TRIPLE, "checked"}}},
    // read_eof in key order, values other than 1 are off.
    {"read_eof_values.cfg", {{IDC_READ_EOF_TEXT, "[read_eof]\r\nA.exe=0\r\nb.exe=1\r\nc.exe=0\r\n"}}},
    // READ_EOF in other case is not the section.
    {"read_eof_in_other_case.cfg", {{IDC_READ_EOF_TEXT, "[read_eof]\r\n"}}},
    // Files of one or two bytes show no content; three bytes are shown.
    {"one_byte.cfg", {{IDC_CFG_CONTENT, ""}}}, {"two_bytes.cfg", {{IDC_CFG_CONTENT, ""}}},
    {"three_bytes.cfg", {{IDC_CFG_CONTENT, "a\r\n"}}},
};

} // namespace

class adv_cfg_load : public page_fixture {
protected:
    std::wstring derived_img() const { return oem_folder() + L"\\imgs\\"; }
    // What a control shows, as one text: the selected item of a combo box, "checked" or
    // "unchecked" for a check box, the text of anything else.
    std::wstring shown(int id) const
    {
        wchar_t window_class[32] = {};
        GetClassNameW(item(id), window_class, 32);
        if (_wcsicmp(window_class, L"ComboBox") == 0)
            return selected_text(id);
        if (_wcsicmp(window_class, L"Button") == 0)
            return checked(id) ? L"checked" : L"unchecked";
        std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(item(id))) + 1, L'\0');
        value.resize(static_cast<std::size_t>(GetWindowTextW(item(id), &value[0], static_cast<int>(value.size()))));
        return value;
    }
};

TEST_F(adv_cfg_load, missing_file_shows_every_default_and_writes_nothing)
{
    open_page();
    const std::wstring oem = oem_folder();
    EXPECT_EQ(shown(IDC_LOG_TYPE), w("输出到文件"));
    EXPECT_EQ(shown(IDC_LOG_LEVEL), w("所有日志"));
    EXPECT_EQ(text(IDC_LOG_PATH), oem + L"\\log\\%APPNAME%.log");
    EXPECT_EQ(text(IDC_TWAIN_LEVEL), L"1");
    EXPECT_FALSE(checked(IDC_LOG_ALL_TRIPLE));
    EXPECT_EQ(shown(IDC_NOTIFY_CLOSE), w("自动模式"));
    EXPECT_EQ(text(IDC_FINAL_IMG), derived_img());
    EXPECT_FALSE(checked(IDC_DUMP_USB));
    EXPECT_EQ(text(IDC_USB_PATH), derived_img());
    EXPECT_FALSE(enabled(IDC_USB_PATH));
    EXPECT_EQ(text(IDC_MAX_IMG), L"1000");
    EXPECT_TRUE(checked(IDC_CPU_ADVANCED));
    EXPECT_EQ(text(IDC_CFG_CONTENT), L"");
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n");
    EXPECT_TRUE(enabled(IDC_LOG_PATH));
    EXPECT_EQ(item_count(IDC_LOG_TYPE), 3);
    EXPECT_EQ(item_count(IDC_LOG_LEVEL), 4);
    EXPECT_EQ(item_count(IDC_NOTIFY_CLOSE), 3);
    EXPECT_EQ(SendMessageW(item(IDC_READ_EOF_LIST), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_FALSE(file_present());
    EXPECT_FALSE(file_exists(oem));
}

TEST_F(adv_cfg_load, prepared_files)
{
    for (const load_case& c : load_cases) {
        SCOPED_TRACE(c.fixture);
        const std::string bytes = fixture_bytes(c.fixture);
        open_page(bytes);
        for (const auto& [id, utf8] : c.shows) {
            const std::wstring expected = std::string(utf8) == "<img>" ? derived_img() : w(utf8.c_str());
            EXPECT_EQ(shown(id), expected) << "control " << id;
        }
        EXPECT_EQ(file_bytes(), bytes) << "loading never writes";
    }
}

TEST_F(adv_cfg_load, long_values_are_shown_whole)
{
    const std::string long_path = "D:\\" + std::string(300, 'p');
    const std::string long_name = std::string(200, 'n') + ".exe";
    open_page("[log]\r\npath=" + long_path + "\r\n[read_eof]\r\n" + long_name + "=1\r\n");
    EXPECT_EQ(text(IDC_LOG_PATH), w(long_path.c_str()));
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n" + w(long_name.c_str()) + L"=1\r\n");
    // Passing through the box writes back exactly what was there.
    leave(IDC_LOG_PATH);
    EXPECT_EQ(text(IDC_LOG_PATH), w(long_path.c_str()));
}

TEST_F(adv_cfg_load, content_box_decodes_by_byte_order_mark)
{
    const std::wstring content = w("[read_eof]\r\na.exe=1\r\n[log]\r\nlevel=fatal\r\n; 中文注释\r\n");
    const std::string utf16le = utf16_bytes(content, utf16::le), utf16be = utf16_bytes(content, utf16::be);
    const std::string utf8 = "\xEF\xBB\xBF" + wide_to_code_page(content, CP_UTF8);
    for (const std::string& bytes : {utf8, utf16le, utf16be}) {
        SCOPED_TRACE(testing::Message() << "mark " << std::hex << (static_cast<unsigned>(bytes[0]) & 0xFF));
        open_page(bytes);
        EXPECT_EQ(text(IDC_CFG_CONTENT), content);
        // A mark hides the first header from the reader; UTF-16 gives it no text at all.
        EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n");
    }
    // UTF-16LE with its mark is also what the profile functions read on every system.
    open_page(utf16le);
    EXPECT_EQ(shown(IDC_LOG_LEVEL), w("致命错误及以上"));
}

TEST_F(adv_cfg_load, ansi_file_under_code_page_936)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs code page 936";
    const std::wstring content = w("[paths]\r\nfinal_img=D:\\图片\r\n[read_eof]\r\n扫描.exe=1\r\n");
    open_page(wide_to_code_page(content, 936));
    EXPECT_EQ(text(IDC_CFG_CONTENT), content);
    EXPECT_EQ(text(IDC_FINAL_IMG), w("D:\\图片"));
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), w("[read_eof]\r\n扫描.exe=1\r\n"));
    EXPECT_EQ(list_cell_text(item(IDC_READ_EOF_LIST), 0, 0), w("扫描.exe"));
    EXPECT_EQ(list_cell_text(item(IDC_READ_EOF_LIST), 0, 1), L"true");
}
