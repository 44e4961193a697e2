// The built program as a user meets it: started as its own process with its own
// LOCALAPPDATA, found by its title, closed in each of the ways a user can close it.
#include "resources/resource.h"
#include "tests/common/test_files.h"
#include "tests/e2e/running_program.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace e2e;

struct close_case {
    const char* name;
    void (*close)(HWND main_window);
};

void PrintTo(const close_case& c, std::ostream* out) { *out << c.name; }

class scancfg_process : public testing::TestWithParam<close_case> {};

} // namespace

TEST_P(scancfg_process, StartsWithItsOwnLocalAppDataAndEndsWithZero)
{
    temp_dir appdata;
    ASSERT_TRUE(file_exists(scancfg_exe())) << "scancfg.exe is built next to the tests";
    child_process process(scancfg_exe(), environment_with(L"LOCALAPPDATA", appdata.path()));
    ASSERT_TRUE(process.started()) << "CreateProcess error " << process.error();

    const HWND main_window = wait_for_main_window(process);
    ASSERT_NE(main_window, nullptr) << "no main window within " << window_timeout_ms << " ms";

    EXPECT_EQ(SendDlgItemMessageW(main_window, IDC_MAIN_TAB, TCM_GETITEMCOUNT, 0, 0), 2);
    // The configuration page located debug.cfg under the LOCALAPPDATA given to this process.
    EXPECT_EQ(control_text(GetDlgItem(page_with_control(main_window, IDC_CFG_PATH), IDC_CFG_PATH)),
              appdata.path() + L"\\VeltaScan\\\\config\\debug.cfg");

    GetParam().close(main_window);
    EXPECT_EQ(process.wait_for_exit(exit_timeout_ms), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    every_way_out, scancfg_process,
    testing::Values(
        close_case{"exit_button", [](HWND window) { PostMessageW(GetDlgItem(window, IDC_EXIT), BM_CLICK, 0, 0); }},
        close_case{"wm_close", [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }},
        close_case{"system_menu_close", [](HWND window) { PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    [](const testing::TestParamInfo<close_case>& param) { return std::string(param.param.name); });
