// Where debug.cfg lies: the start path from LOCALAPPDATA, the path of every OEM folder,
// and the OEM folder the derived defaults hang from.
#include "config/cfg_location.h"
#include "config/cfg_keys.h"
#include "config/cfg_settings.h"
#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

const std::wstring local = L"C:\\Users\\u\\AppData\\Local";

TEST(OemFolders, SevenNamesInComboOrder)
{
    const wchar_t* const expected[] = {L"VeltaScan", L"MorvelScan", L"PestraScan", L"OrbiselScan",
                                       L"TalvenorScan", L"ZepScan", L"KavScan"};
    ASSERT_EQ(oem_folder_count, std::size(expected));
    for (std::size_t i = 0; i < oem_folder_count; ++i)
        EXPECT_STREQ(expected[i], oem_folder_names[i]) << "index " << i;
}

// ---- the start path keeps LOCALAPPDATA as it is and is not tidied --------------------

struct start_case {
    const wchar_t *local_app_data, *expected; // local_app_data null: unset
};

TEST(InitialCfgPath, KeepsTheVariableAndTheDoubledBackslash)
{
    const start_case cases[] = {
        {L"C:\\Users\\u\\AppData\\Local", L"C:\\Users\\u\\AppData\\Local\\VeltaScan\\\\config\\debug.cfg"},
        {nullptr, L"\\VeltaScan\\\\config\\debug.cfg"},
        {L"", L"\\VeltaScan\\\\config\\debug.cfg"},
        {L"C:/Users/u/AppData/Local", L"C:/Users/u/AppData/Local\\VeltaScan\\\\config\\debug.cfg"},
        {L"C:\\Users\\u\\AppData\\Local\\", L"C:\\Users\\u\\AppData\\Local\\\\VeltaScan\\\\config\\debug.cfg"},
    };
    for (const start_case& c : cases) {
        scoped_env env(L"LOCALAPPDATA", c.local_app_data);
        EXPECT_EQ(c.expected, initial_cfg_path()) << (c.local_app_data ? c.local_app_data : L"(unset)");
    }
}

TEST(InitialCfgPath, NonAsciiFolderComesBackThroughTheAnsiCodePage)
{
    // Under 1252 the OEM code page (850 or 437) would give "é" other bytes.
    temp_dir dir;
    const std::wstring folder = dir.file(GetACP() == 936 ? L"用户数据" : L"Jos\xE9 \xC6");
    scoped_env env(L"LOCALAPPDATA", folder.c_str());
    // The narrow copy holds the code page's bytes, not UTF-8.
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    const char* narrow = std::getenv("LOCALAPPDATA");
    ASSERT_STREQ(wide_to_code_page(folder, CP_ACP).c_str(), narrow);
    EXPECT_EQ(folder + L"\\VeltaScan\\\\config\\debug.cfg", initial_cfg_path());
    EXPECT_EQ(folder + L"\\ZepScan\\config\\debug.cfg", cfg_path_for_oem(initial_cfg_path(), L"ZepScan"));
}

// ---- moving to another OEM folder: three steps up, the new name, single separators ---

TEST(CfgPathForOem, EveryChangeFromTheStartPathAndFromEachOther)
{
    scoped_env env(L"LOCALAPPDATA", local.c_str());
    const std::wstring start = initial_cfg_path();
    std::wstring current = start;
    for (std::size_t round = 0; round < 2; ++round) {
        for (const wchar_t* name : oem_folder_names) {
            const std::wstring expected = local + L"\\" + name + L"\\config\\debug.cfg";
            EXPECT_EQ(expected, cfg_path_for_oem(start, name));
            current = cfg_path_for_oem(current, name);
            EXPECT_EQ(expected, current);
        }
    }
}

TEST(CfgPathForOem, OddStartPathsEndWithSingleBackslashes)
{
    const start_case cases[] = {
        {nullptr, L"\\KavScan\\config\\debug.cfg"},
        {L"C:/Users/u/AppData/Local", L"C:\\Users\\u\\AppData\\Local\\KavScan\\config\\debug.cfg"},
        {L"C:\\Users\\u\\AppData\\Local\\", L"C:\\Users\\u\\AppData\\Local\\KavScan\\config\\debug.cfg"},
    };
    for (const start_case& c : cases) {
        scoped_env env(L"LOCALAPPDATA", c.local_app_data);
        const std::wstring moved = cfg_path_for_oem(initial_cfg_path(), L"KavScan");
        EXPECT_EQ(c.expected, moved) << (c.local_app_data ? c.local_app_data : L"(unset)");
        EXPECT_EQ(std::wstring::npos, moved.find(L'/'));
        EXPECT_EQ(std::wstring::npos, moved.find(L"\\\\"));
    }
}

TEST(CfgPathForOem, BackToTheFirstFolderDropsTheDoubledBackslash)
{
    scoped_env env(L"LOCALAPPDATA", local.c_str());
    const std::wstring morvel = cfg_path_for_oem(initial_cfg_path(), L"MorvelScan");
    EXPECT_EQ(local + L"\\MorvelScan\\config\\debug.cfg", morvel);
    EXPECT_EQ(local + L"\\VeltaScan\\config\\debug.cfg", cfg_path_for_oem(morvel, L"VeltaScan"));
}

TEST(OemBaseFolder, TwoStepsUpWithoutTrailingBackslash)
{
    EXPECT_EQ(local + L"\\VeltaScan", oem_base_folder(local + L"\\VeltaScan\\\\config\\debug.cfg"));
    EXPECT_EQ(local + L"\\KavScan", oem_base_folder(local + L"\\KavScan\\config\\debug.cfg"));
    EXPECT_EQ(local + L"\\VeltaScan", oem_base_folder(L"C:/Users/u/AppData/Local\\VeltaScan\\\\config\\debug.cfg"));
    EXPECT_EQ(L"\\VeltaScan", oem_base_folder(L"\\VeltaScan\\\\config\\debug.cfg"));
}

// The paths are used as they are by the profile functions: the start path with its
// doubled backslash and every OEM path reach the file in the expected folder.

TEST(CfgLocationOnDisk, StartPathAndOemPathsReachTheirOwnFiles)
{
    temp_dir dir;
    scoped_env env(L"LOCALAPPDATA", dir.path().c_str());
    for (const wchar_t* name : oem_folder_names)
        ASSERT_TRUE(make_dirs(dir.file(name) + L"\\config"));

    const std::wstring start = initial_cfg_path();
    ASSERT_TRUE(write_cfg_value(start, cfg::section_log, cfg::key_log_level, L"debug"));
    const std::wstring velta_file = dir.file(L"VeltaScan\\config\\debug.cfg");
    EXPECT_EQ("[log]\r\nlevel=debug\r\n", read_file_bytes(velta_file));

    std::wstring current = start;
    for (const wchar_t* name : oem_folder_names) {
        current = cfg_path_for_oem(current, name);
        ASSERT_TRUE(write_cfg_value(current, cfg::section_mem, cfg::key_max_img, name));
        EXPECT_EQ(std::wstring(name), read_cfg_string(current, cfg::section_mem, cfg::key_max_img, L""));
    }
    // Every OEM folder got its own file; the first one holds both writes.
    EXPECT_EQ(L"debug", read_cfg_string(start, cfg::section_log, cfg::key_log_level, L""));
    EXPECT_EQ(L"VeltaScan", read_cfg_string(start, cfg::section_mem, cfg::key_max_img, L""));
    EXPECT_EQ("[mem]\r\nmax_img=KavScan\r\n", read_file_bytes(dir.file(L"KavScan\\config\\debug.cfg")));
}

TEST(CfgLocationOnDisk, ChineseFolderIsReadAndWritten)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs code page 936";
    temp_dir dir;
    const std::wstring folder = dir.file(L"本地应用数据");
    scoped_env env(L"LOCALAPPDATA", folder.c_str());
    ASSERT_TRUE(make_dirs(folder + L"\\VeltaScan\\config"));

    const std::wstring path = initial_cfg_path();
    ASSERT_TRUE(write_cfg_value(path, cfg::section_log, cfg::key_log_type, L"console"));
    EXPECT_TRUE(file_exists(folder + L"\\VeltaScan\\config\\debug.cfg"));

    cfg_settings settings;
    load_cfg_keys(path, settings);
    EXPECT_EQ(L"console", settings.log_type);
    EXPECT_EQ(folder + L"\\VeltaScan\\log\\%APPNAME%.log", settings.log_path);
    EXPECT_EQ(folder + L"\\VeltaScan\\imgs\\", settings.final_img);
}

} // namespace
