// What the clipboard holds as Unicode text, read the way a program pasting it would.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring clipboard_text()
{
    if (!OpenClipboard(nullptr))
        return L"<clipboard not opened>";
    std::wstring text = L"<no Unicode text>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    CloseClipboard();
    return text;
}
