// A program started as a process of its own, with a LOCALAPPDATA of its own (Wine
// replaces an inherited one with its profile folder, so it goes into the environment
// block), and waiting for another process, which works at its own pace.
#pragma once

#include "tools/harness/handles.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace harness {

constexpr DWORD window_timeout_ms = 15000;
constexpr DWORD exit_timeout_ms = 10000;

// Polls `condition` every `poll_ms` until it holds or `timeout_ms` passed; whether it
// held. This waits for the other process, it does not time it.
template <typename condition_type>
bool wait_until(condition_type condition, DWORD timeout_ms = window_timeout_ms, DWORD poll_ms = 20)
{
    for (const DWORD start = GetTickCount(); !condition(); Sleep(poll_ms))
        if (GetTickCount() - start >= timeout_ms)
            return false;
    return true;
}

inline std::wstring this_program()
{
    std::vector<wchar_t> path(32768, L'\0');
    return std::wstring(path.data(), GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
}

// A file in the folder of this program (the build puts every program in one folder).
inline std::wstring beside_this_program(const std::wstring& name)
{
    const std::wstring self = this_program();
    return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

// This process's environment with `name` set to `value`, sorted without regard to case as
// Windows expects; names compared the same way.
inline std::vector<wchar_t> environment_with(const std::wstring& name, const std::wstring& value)
{
    const auto upper = [](std::wstring text) {
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
        return text;
    };
    std::vector<std::wstring> entries{name + L"=" + value};
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += std::wcslen(entry) + 1) {
            const std::wstring text = entry;
            // From 1: hidden entries such as "=C:=C:\" start with "=".
            if (upper(text.substr(0, text.find(L'=', 1))) != upper(name))
                entries.push_back(text);
        }
        FreeEnvironmentStringsW(block);
    }
    std::sort(entries.begin(), entries.end(),
              [&](const std::wstring& a, const std::wstring& b) { return upper(a) < upper(b); });
    std::vector<wchar_t> result;
    for (const std::wstring& entry : entries)
        result.insert(result.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
    result.push_back(L'\0');
    return result;
}

// A started program; ended by force if it still runs when the object goes (a failed test,
// a program that did not close).
class child_process {
public:
    // An empty `environment` passes this process's own.
    child_process(const std::wstring& exe, std::vector<wchar_t> environment = {}, const std::wstring& arguments = {})
    {
        std::wstring command_line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                            environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info)) {
            error_ = GetLastError();
            return;
        }
        process_.reset(info.hProcess);
        thread_.reset(info.hThread);
        id_ = info.dwProcessId;
    }
    ~child_process()
    {
        if (running()) {
            TerminateProcess(process_.get(), 99);
            WaitForSingleObject(process_.get(), exit_timeout_ms);
        }
    }
    child_process(const child_process&) = delete;
    child_process& operator=(const child_process&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD error() const { return error_; }
    DWORD id() const { return id_; }
    bool running() const { return started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD wait_for_exit(DWORD timeout_ms) const
    {
        DWORD code = STILL_ACTIVE;
        if (started() && WaitForSingleObject(process_.get(), timeout_ms) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    unique_handle process_;
    unique_handle thread_;
    DWORD id_ = 0;
    DWORD error_ = 0;
};

} // namespace harness
