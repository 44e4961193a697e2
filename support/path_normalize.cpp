#include "support/path_normalize.h"

#include <cwchar>
#include <utility>

namespace {

// Replaces the first occurrence of `pattern` by `replacement` until none is left.
// A replacement never creates a match before its own position, so the search
// resumes there instead of at the start; the result is the same.
void replace_each(std::wstring& text, const std::wstring& pattern, const std::wstring& replacement)
{
    std::size_t at = text.find(pattern);
    while (at != std::wstring::npos) {
        text.replace(at, pattern.size(), replacement);
        at = text.find(pattern, at);
    }
}

// "folder\..\" disappears, one at a time from the start. The first character is never
// taken as the folder's leading backslash, so "C:\..\x" and "\a\..\b" stay; the first
// ".." without a folder before it ends the step for good.
void collapse_parent_steps(std::wstring& text)
{
    const std::wstring up = L"\\..\\";
    for (;;) {
        const std::size_t at = text.find(up);
        if (at == std::wstring::npos) return;
        std::size_t start = std::wstring::npos;
        for (std::size_t i = at; i > 1;) {
            --i;
            if (text[i] == L'\\') {
                start = i;
                break;
            }
        }
        if (start == std::wstring::npos) return;
        // Up to, not including, the backslash that closes "\..\".
        text.erase(start, at + 3 - start);
    }
}

void normalize_text(std::wstring& text)
{
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    replace_each(text, L"\\\\", L"\\");
    replace_each(text, L"\\.\\", L"\\");
    collapse_parent_steps(text);
}

// The text up to the first NUL, as a fixed path buffer would hold it, but never cut
// to a length limit.
std::wstring path_text(const std::wstring& path) { return std::wstring(path.c_str()); }

} // namespace

void normalize_path(wchar_t* buffer, std::size_t capacity)
{
    if (buffer == nullptr) return;
    std::size_t length;
    if (capacity == 0) {
        length = std::wcslen(buffer);
        capacity = length + 1;
    } else {
        // Nothing at or beyond `capacity` is read or written, terminated or not.
        length = 0;
        while (length < capacity && buffer[length] != L'\0') ++length;
    }
    std::wstring text(buffer, length);
    normalize_text(text);
    text.copy(buffer, text.size());
    if (text.size() < capacity) buffer[text.size()] = L'\0';
}

void parent_folder(std::wstring& path)
{
    std::wstring text = path_text(path);
    normalize_text(text);
    const std::size_t last = text.rfind(L'\\');
    if (last != std::wstring::npos) {
        const bool trailing = last + 1 == text.size();
        text.resize(last);
        // "C:\a\b\" names the folder b, whose parent is C:\a.
        if (trailing) {
            const std::size_t before = text.rfind(L'\\');
            if (before != std::wstring::npos) text.resize(before);
        }
    }
    path = std::move(text);
}

std::wstring tidy_composed_path(const std::wstring& path)
{
    std::wstring text = path_text(path);
    normalize_text(text);
    return text;
}
