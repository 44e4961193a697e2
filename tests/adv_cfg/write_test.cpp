// Every control's write, the refresh after it, and the page's enable rules.
#include "tests/adv_cfg/page_fixture.h"

#include "config/cfg_location.h"
#include "resources/resource.h"

#include <windows.h>

#include <string>

namespace {

struct write_case {
    const char* name;
    int id;
    enum { combo, check, edit } kind;
    int index_or_on;       // combo index, or check state
    const char* typed;     // edit text
    const char* file;      // whole file afterwards (UTF-8 here, ANSI on disk), starting from no file
    const char* shown;     // the control's text after the refresh (edits)
};

const write_case write_cases[] = {
    {"log type", IDC_LOG_TYPE, write_case::combo, 1, "", "[log]\r\ntype=console\r\n", ""},
    {"log level", IDC_LOG_LEVEL, write_case::combo, 3, "", "[log]\r\nlevel=fatal\r\n", ""},
    {"notify-close", IDC_NOTIFY_CLOSE, write_case::combo, 2, "", "[twain-app]\r\nnotify-close=2\r\n", ""},
    {"log all triple", IDC_LOG_ALL_TRIPLE, write_case::check, 1, "", "[twain-app]\r\nlog-all-triple=1\r\n", ""},
    {"dump usb", IDC_DUMP_USB, write_case::check, 1, "", "[dump]\r\ndumpusb=1\r\n", ""},
    {"cpu advanced", IDC_CPU_ADVANCED, write_case::check, 0, "", "[cpu]\r\nadvanced=0\r\n", ""},
    {"log path", IDC_LOG_PATH, write_case::edit, 0, "D:\\logs\\a.log", "[log]\r\npath=D:\\logs\\a.log\r\n",
     "D:\\logs\\a.log"},
    {"log path with a percent sign", IDC_LOG_PATH, write_case::edit, 0, "D:\\%TEMP%\\a.log", "",
     "D:\\%TEMP%\\a.log"},
    {"twain level -1", IDC_TWAIN_LEVEL, write_case::edit, 0, "-1", "[log]\r\ntwain-level=-1\r\n", "4294967295"},
    {"twain level with blanks and sign", IDC_TWAIN_LEVEL, write_case::edit, 0, "  +7x", "[log]\r\ntwain-level=7\r\n",
     "7"},
    {"max img 12abc", IDC_MAX_IMG, write_case::edit, 0, "12abc", "[mem]\r\nmax_img=12\r\n", "12"},
    {"max img abc", IDC_MAX_IMG, write_case::edit, 0, "abc", "[mem]\r\nmax_img=0\r\n", "0"},
    {"image folder", IDC_FINAL_IMG, write_case::edit, 0, "D:\\img", "[paths]\r\nfinal_img=D:\\img\r\n", "D:\\img"},
    {"image folder in Chinese", IDC_FINAL_IMG, write_case::edit, 0, "D:\\图片", "[paths]\r\nfinal_img=D:\\图片\r\n",
     "D:\\图片"},
    {"dump folder", IDC_USB_PATH, write_case::edit, 0, "E:\\usb", "[dump]\r\nusb_path=E:\\usb\r\n", "E:\\usb"},
};

} // namespace

class adv_cfg_write : public page_fixture {
protected:
    // The folder exists, the file does not: the first write creates it.
    void SetUp() override { ASSERT_TRUE(make_dirs(oem_folder() + L"\\config")); }
};

TEST_F(adv_cfg_write, each_control_writes_one_key_and_shows_the_file_again)
{
    for (const write_case& c : write_cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(cfg_file().c_str());
        open_page();
        switch (c.kind) {
        case write_case::combo:
            choose(c.id, c.index_or_on);
            EXPECT_EQ(selection(c.id), c.index_or_on);
            break;
        case write_case::check:
            tick(c.id, c.index_or_on != 0);
            EXPECT_EQ(checked(c.id), c.index_or_on != 0);
            break;
        case write_case::edit:
            type(c.id, w(c.typed));
            EXPECT_EQ(text(c.id), w(c.shown));
            break;
        }
        const std::string expected = wide_to_code_page(w(c.file), CP_ACP);
        EXPECT_EQ(file_bytes(), expected);
        // The content box always shows the file's text after a write.
        EXPECT_EQ(wide_to_code_page(text(IDC_CFG_CONTENT), CP_ACP), expected);
        TearDown();
    }
}

TEST_F(adv_cfg_write, emptied_image_folder_is_stored_empty_and_shown_derived)
{
    open_page();
    type(IDC_FINAL_IMG, L"");
    EXPECT_EQ(file_bytes(), "[paths]\r\nfinal_img=\r\n");
    EXPECT_EQ(text(IDC_FINAL_IMG), oem_folder() + L"\\imgs\\");
    EXPECT_EQ(text(IDC_USB_PATH), oem_folder() + L"\\imgs\\");
}

TEST_F(adv_cfg_write, controls_that_never_write)
{
    open_page("[log]\r\nlevel=debug\r\n");
    click(IDC_WRITE);
    type(IDC_CFG_CONTENT, L"[log]\r\nlevel=fatal\r\n"); // only "写入" writes it
    type(IDC_CFG_PATH, L"C:\\elsewhere\\debug.cfg"); // read-only for the user; a program may still set it
    SetWindowTextW(item(IDC_CFG_PATH), cfg_file().c_str());
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=debug\r\n");
    tick(IDC_LOG_ALL_TRIPLE, true);
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=debug\r\n[twain-app]\r\nlog-all-triple=1\r\n");
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 1);
}

TEST_F(adv_cfg_write, notify_close_out_of_range_stays_until_picked)
{
    open_page("[twain-app]\r\nnotify-close=7\r\n");
    tick(IDC_CPU_ADVANCED, false);
    EXPECT_EQ(selection(IDC_NOTIFY_CLOSE), 0);
    EXPECT_EQ(file_bytes(), "[twain-app]\r\nnotify-close=7\r\n[cpu]\r\nadvanced=0\r\n");
    // Picking the item shown is no change; picking another one is.
    choose(IDC_NOTIFY_CLOSE, 0);
    EXPECT_EQ(file_bytes(), "[twain-app]\r\nnotify-close=7\r\n[cpu]\r\nadvanced=0\r\n");
    choose(IDC_NOTIFY_CLOSE, 1);
    choose(IDC_NOTIFY_CLOSE, 0);
    EXPECT_EQ(file_bytes(), "[twain-app]\r\nnotify-close=0\r\n[cpu]\r\nadvanced=0\r\n");
}

TEST_F(adv_cfg_write, selection_without_item_writes_nothing)
{
    open_page();
    for (int id : {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE, IDC_OEM})
        choose(id, -1);
    EXPECT_FALSE(file_present());
    EXPECT_EQ(text(IDC_CFG_PATH), tmp.path() + L"\\VeltaScan\\\\config\\debug.cfg");
}

TEST_F(adv_cfg_write, log_path_box_follows_the_log_type_choice_only)
{
    open_page("[log]\r\ntype=console\r\n");
    EXPECT_TRUE(enabled(IDC_LOG_PATH)) << "at start, whatever the file says";
    choose(IDC_LOG_TYPE, 1);
    EXPECT_FALSE(enabled(IDC_LOG_PATH));
    tick(IDC_LOG_ALL_TRIPLE, true); // a refresh
    EXPECT_FALSE(enabled(IDC_LOG_PATH));
    choose(IDC_OEM, 1); // another file, whose type is "file"
    EXPECT_EQ(selection(IDC_LOG_TYPE), 2);
    EXPECT_FALSE(enabled(IDC_LOG_PATH));
    choose(IDC_OEM, 0);
    choose(IDC_LOG_TYPE, 2);
    EXPECT_TRUE(enabled(IDC_LOG_PATH));
    choose(IDC_LOG_TYPE, 0);
    EXPECT_FALSE(enabled(IDC_LOG_PATH));
}

TEST_F(adv_cfg_write, dump_folder_box_follows_dumpusb)
{
    open_page("[dump]\r\ndumpusb=1\r\n");
    EXPECT_TRUE(enabled(IDC_USB_PATH));
    tick(IDC_DUMP_USB, false);
    EXPECT_FALSE(enabled(IDC_USB_PATH));
    EXPECT_EQ(file_bytes(), "[dump]\r\ndumpusb=0\r\n");
    tick(IDC_DUMP_USB, true);
    EXPECT_TRUE(enabled(IDC_USB_PATH));
    // Another program turns it off: the next refresh follows the file.
    prepare("[dump]\r\ndumpusb=0\r\n");
    tick(IDC_CPU_ADVANCED, false);
    EXPECT_FALSE(checked(IDC_DUMP_USB));
    EXPECT_FALSE(enabled(IDC_USB_PATH));
}

TEST_F(adv_cfg_write, oem_change_to_every_folder_and_back)
{
    for (std::size_t i = 0; i < oem_folder_count; ++i)
        prepare("[mem]\r\nmax_img=" + std::to_string(100 + i) + "\r\n", oem_folder_names[i]);
    open_page();
    for (std::size_t i : {1, 2, 3, 4, 5, 6, 0}) {
        SCOPED_TRACE(testing::Message() << "OEM " << i);
        choose(IDC_OEM, static_cast<int>(i));
        EXPECT_EQ(text(IDC_CFG_PATH), cfg_file(oem_folder_names[i]));
        EXPECT_EQ(text(IDC_MAX_IMG), std::to_wstring(100 + i));
        EXPECT_EQ(text(IDC_LOG_PATH), oem_folder(oem_folder_names[i]) + L"\\log\\%APPNAME%.log");
        EXPECT_EQ(text(IDC_CFG_CONTENT), L"[mem]\r\nmax_img=" + std::to_wstring(100 + i) + L"\r\n");
    }
    // Writes go to the file now shown, and only there.
    choose(IDC_OEM, 5);
    type(IDC_MAX_IMG, L"55");
    for (std::size_t i = 0; i < oem_folder_count; ++i)
        EXPECT_EQ(file_bytes(oem_folder_names[i]),
                  "[mem]\r\nmax_img=" + std::to_string(i == 5 ? 55 : 100 + i) + "\r\n");
}

TEST_F(adv_cfg_write, oem_change_without_localappdata)
{
    scoped_env unset(L"LOCALAPPDATA", nullptr);
    open_page();
    EXPECT_EQ(text(IDC_CFG_PATH), L"\\VeltaScan\\\\config\\debug.cfg");
    choose(IDC_OEM, 6);
    EXPECT_EQ(text(IDC_CFG_PATH), L"\\KavScan\\config\\debug.cfg");
}

TEST_F(adv_cfg_write, write_to_a_missing_folder_changes_nothing)
{
    open_page();
    choose(IDC_OEM, 6); // KavScan has no folder
    tick(IDC_LOG_ALL_TRIPLE, true);
    EXPECT_FALSE(checked(IDC_LOG_ALL_TRIPLE));
    choose(IDC_LOG_TYPE, 0);
    EXPECT_EQ(selection(IDC_LOG_TYPE), 2);
    EXPECT_TRUE(enabled(IDC_LOG_PATH)) << "the box agrees with what the combo shows";
    tick(IDC_DUMP_USB, true);
    EXPECT_FALSE(checked(IDC_DUMP_USB));
    EXPECT_FALSE(enabled(IDC_USB_PATH));
    type(IDC_MAX_IMG, L"64");
    EXPECT_EQ(text(IDC_MAX_IMG), L"1000");
    type(IDC_READ_EOF_TEXT, L"[read_eof]\r\na.exe=1\r\n");
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n");
    EXPECT_FALSE(file_exists(oem_folder(L"KavScan")));
    EXPECT_FALSE(file_present());
}

TEST_F(adv_cfg_write, file_changed_by_another_program_shows_at_next_refresh)
{
    open_page("[log]\r\nlevel=debug\r\n");
    prepare("[log]\r\nlevel=warning\r\n[read_eof]\r\nz.exe=1\r\n");
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 1) << "nothing watches the file";
    tick(IDC_CPU_ADVANCED, false);
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 2);
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\nz.exe=1\r\n");
    EXPECT_EQ(file_bytes(), "[log]\r\nlevel=warning\r\n[read_eof]\r\nz.exe=1\r\n[cpu]\r\nadvanced=0\r\n");
}
