// The built program as a user meets it: started as its own process with its own
// LOCALAPPDATA, found by its title, closed in each of the ways a user can close it.
#include "resources/resource.h"
#include "tools/environment_block.h"
#include "tests/common/test_files.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr DWORD window_timeout_ms = 15000;
constexpr DWORD exit_timeout_ms = 10000;

std::wstring folder_of_this_program()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring result(path.data(), length);
    return result.substr(0, result.find_last_of(L"\\/"));
}

// A started program; ended by force if a failed test leaves it running.
class child_process {
public:
    child_process(const std::wstring& exe, std::vector<wchar_t> environment)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring command_line = L"\"" + exe + L"\"";
        started_ = CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                                  CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &startup, &info_) != FALSE;
    }
    ~child_process()
    {
        if (!started_)
            return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, exit_timeout_ms);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    bool started() const { return started_; }
    DWORD id() const { return info_.dwProcessId; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD wait_for_exit(DWORD timeout_ms) const
    {
        if (WaitForSingleObject(info_.hProcess, timeout_ms) != WAIT_OBJECT_0)
            return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

struct window_search {
    DWORD process_id;
    std::wstring title;
    HWND found;
};

// The visible dialog with this title that belongs to the process.
HWND wait_for_main_window(const child_process& process, const std::wstring& title)
{
    window_search search{process.id(), title, nullptr};
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < window_timeout_ms) {
        EnumWindows(
            [](HWND window, LPARAM user) -> BOOL {
                auto* s = reinterpret_cast<window_search*>(user);
                DWORD owner_id = 0;
                GetWindowThreadProcessId(window, &owner_id);
                wchar_t text[128] = {};
                GetWindowTextW(window, text, 128);
                if (owner_id == s->process_id && IsWindowVisible(window) && s->title == text) {
                    s->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

// WM_GETTEXT is carried across processes, unlike GetWindowTextW on a control.
std::wstring control_text(HWND control)
{
    wchar_t text[1024] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

// The text of control `id` on whichever page has it.
std::wstring page_control_text(HWND main_window, int id)
{
    for (HWND page = FindWindowExW(main_window, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(main_window, page, L"#32770", nullptr))
        if (HWND control = GetDlgItem(page, id))
            return control_text(control);
    return L"";
}

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
    const std::wstring exe = folder_of_this_program() + L"\\scancfg.exe";
    ASSERT_TRUE(file_exists(exe)) << "scancfg.exe is built next to the tests";
    child_process process(exe, environment_block::with(L"LOCALAPPDATA", appdata.path()));
    ASSERT_TRUE(process.started());

    const HWND main_window = wait_for_main_window(process, utf8_to_wide("扫描仪错误信息及高级调试配置"));
    ASSERT_NE(main_window, nullptr) << "no main window within " << window_timeout_ms << " ms";

    EXPECT_EQ(SendDlgItemMessageW(main_window, IDC_MAIN_TAB, TCM_GETITEMCOUNT, 0, 0), 2);
    // The configuration page located debug.cfg under the LOCALAPPDATA given to this process.
    EXPECT_EQ(page_control_text(main_window, IDC_CFG_PATH), appdata.path() + L"\\VeltaScan\\\\config\\debug.cfg");

    GetParam().close(main_window);
    EXPECT_EQ(process.wait_for_exit(exit_timeout_ms), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    every_way_out, scancfg_process,
    testing::Values(
        close_case{"exit_button",
                   [](HWND main_window) { PostMessageW(GetDlgItem(main_window, IDC_EXIT), BM_CLICK, 0, 0); }},
        close_case{"wm_close", [](HWND main_window) { PostMessageW(main_window, WM_CLOSE, 0, 0); }},
        close_case{"system_menu_close",
                   [](HWND main_window) { PostMessageW(main_window, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    [](const testing::TestParamInfo<close_case>& param) { return std::string(param.param.name); });
