// Putting text on the clipboard as Unicode text.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's content with `text` as CF_UNICODETEXT, `owner` becoming its
// owner; whether it did. The text is built before the clipboard is opened, so a failed
// allocation or a clipboard held by another program leaves it as it was.
bool put_clipboard_text(HWND owner, const std::wstring& text);
