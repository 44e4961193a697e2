// An environment block for CreateProcessW: this process's environment with one
// variable set. Used where a program must start with its own LOCALAPPDATA (Wine
// replaces the inherited one with its profile folder).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace environment_block {

inline std::wstring upper(std::wstring text)
{
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// Sorted without regard to case, as Windows expects; names compared the same way.
inline std::vector<wchar_t> with(const std::wstring& name, const std::wstring& value)
{
    std::vector<std::wstring> entries;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += std::wcslen(entry) + 1) {
            const std::wstring text = entry;
            // From 1: hidden entries such as "=C:=C:\" start with "=".
            if (upper(text.substr(0, text.find(L'=', 1))) != upper(name))
                entries.push_back(text);
        }
        FreeEnvironmentStringsW(block);
    }
    entries.push_back(name + L"=" + value);
    std::sort(entries.begin(), entries.end(),
              [](const std::wstring& a, const std::wstring& b) { return upper(a) < upper(b); });
    std::vector<wchar_t> result;
    for (const std::wstring& entry : entries) {
        result.insert(result.end(), entry.begin(), entry.end());
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    return result;
}

} // namespace environment_block
