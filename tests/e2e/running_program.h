// The built scancfg.exe as a process of its own, started with its own LOCALAPPDATA, and
// what the end-to-end tests read from its windows across the process border.
#pragma once

#include "tools/environment_block.h"
#include "tools/remote_rect.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

constexpr DWORD window_timeout_ms = 15000;
constexpr DWORD exit_timeout_ms = 10000;

inline std::wstring folder_of_this_program()
{
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring result(path.data(), length);
    return result.substr(0, result.find_last_of(L"\\/"));
}

inline std::wstring scancfg_exe() { return folder_of_this_program() + L"\\scancfg.exe"; }

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
        error_ = started_ ? 0 : GetLastError();
    }
    ~child_process()
    {
        if (!started_)
            return;
        if (running()) {
            TerminateProcess(info_.hProcess, 99);
            WaitForSingleObject(info_.hProcess, exit_timeout_ms);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    bool started() const { return started_; }
    bool running() const { return started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD id() const { return info_.dwProcessId; }
    DWORD error() const { return error_; }

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
    DWORD error_ = 0;
};

// Polls `condition` until it holds or `timeout_ms` passed; whether it held. Another
// process works at its own pace: this waits for it, it does not time it.
template <typename condition_type>
bool wait_until(condition_type condition, DWORD timeout_ms = window_timeout_ms)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeout_ms)
            return false;
        Sleep(20);
    }
}

// The visible window with this title that belongs to the process.
inline HWND wait_for_main_window(const child_process& process, const std::wstring& title)
{
    struct search {
        DWORD process_id;
        const std::wstring& title;
        HWND found;
    } state{process.id(), title, nullptr};
    wait_until([&] {
        EnumWindows(
            [](HWND window, LPARAM user) -> BOOL {
                auto* s = reinterpret_cast<search*>(user);
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
            reinterpret_cast<LPARAM>(&state));
        return state.found != nullptr || !process.running();
    });
    return state.found;
}

// WM_GETTEXT is carried across processes, unlike GetWindowTextW on a control.
inline std::wstring control_text(HWND control)
{
    wchar_t text[1024] = {};
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

// The page (a child dialog of the main window) that holds control `id`.
inline HWND page_with_control(HWND main_window, int id)
{
    for (HWND page = FindWindowExW(main_window, nullptr, L"#32770", nullptr); page;
         page = FindWindowExW(main_window, page, L"#32770", nullptr))
        if (GetDlgItem(page, id))
            return page;
    return nullptr;
}

// The text of control `id` on whichever page has it.
inline std::wstring page_control_text(HWND main_window, int id)
{
    const HWND page = page_with_control(main_window, id);
    return page ? control_text(GetDlgItem(page, id)) : std::wstring();
}

// Row `index` of the list on the screen.
inline RECT row_rect(HWND list, int index)
{
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (!remote_rect(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), rect))
        ADD_FAILURE() << "no rectangle for row " << index;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A point to click in row `index`, `x` pixels from its left end.
inline POINT row_point(HWND list, int index, int x = 60)
{
    const RECT rect = row_rect(list, index);
    return POINT{rect.left + x, (rect.top + rect.bottom) / 2};
}

inline int selected_rows(HWND list)
{
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LVM_GETSELECTEDCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    return static_cast<int>(count);
}

// The program's open popup menu (class "#32768"), waited for; null when none opens.
inline HWND wait_for_menu(const child_process& process)
{
    struct search {
        DWORD process_id;
        HWND found;
    } state{process.id(), nullptr};
    wait_until([&] {
        EnumWindows(
            [](HWND window, LPARAM user) -> BOOL {
                auto* s = reinterpret_cast<search*>(user);
                DWORD owner_id = 0;
                GetWindowThreadProcessId(window, &owner_id);
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (owner_id == s->process_id && IsWindowVisible(window) && std::wstring(name) == L"#32768")
                    s->found = window;
                return s->found == nullptr;
            },
            reinterpret_cast<LPARAM>(&state));
        return state.found != nullptr;
    });
    return state.found;
}

} // namespace e2e
