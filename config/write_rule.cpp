#include "config/write_rule.h"

#include "support/shared_file.h"
#include "support/text_convert.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

// Characters that end or break a line, or that a reader may drop: no text of the file
// holds them.
bool is_control(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Blanks that a profile function (on any system) or an editor may trim from the ends of
// a key or value, generously: every Unicode space and the invisible separators.
bool is_trimmable(wchar_t c)
{
    return is_control(c) || c == 0x20 || c == 0xA0 || c == 0x1680 || c == 0x180E || (c >= 0x2000 && c <= 0x200D) ||
           c == 0x202F || c == 0x205F || c == 0x2060 || c == 0x3000 || c == 0xFEFF;
}

// Text that reads back as itself: no control characters, nothing trimmable at its ends.
bool reads_back_whole(const std::wstring& text)
{
    if (std::any_of(text.begin(), text.end(), is_control))
        return false;
    return text.empty() || (!is_trimmable(text.front()) && !is_trimmable(text.back()));
}

bool is_quote(wchar_t c) { return c == L'"' || c == L'\''; }

bool starts_with(const std::string& bytes, const char* mark, std::size_t length)
{
    return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// Wine reads the bytes as text of the code page and writes that text back.
bool survives_rewrite(const std::string& bytes, unsigned code_page)
{
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    const std::wstring text = multibyte_to_wide(bytes.c_str(), code_page);
    const int length = static_cast<int>(text.size());
    std::string back(static_cast<std::size_t>(
                         WideCharToMultiByte(code_page, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(code_page, 0, text.c_str(), length, &back[0], static_cast<int>(back.size()), nullptr,
                        nullptr);
    return back == bytes;
}

// True when `text` is stored and read back exactly in a file of that form.
bool survives_storage(const std::wstring& text, stored_form form)
{
    switch (form) {
    case stored_form::utf16le:
        return true;
    case stored_form::ansi:
        // Characters the code page lacks come back as "?" or as a look-alike.
        return text.find(L'\0') == std::wstring::npos &&
               multibyte_to_wide(wide_to_ansi(text.c_str()).c_str(), CP_ACP) == text;
    case stored_form::ascii_only:
        return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
    case stored_form::not_rewritable:
        break;
    }
    return false;
}

} // namespace

profile_system running_profile_system()
{
    // Wine's ntdll exports its version; no Windows ntdll does.
    static const profile_system system = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")
                                             ? profile_system::wine
                                             : profile_system::windows;
    return system;
}

stored_form stored_form_of(const std::string& file_bytes, profile_system system)
{
    // Only a UTF-16LE mark makes a Unicode file, on both systems.
    if (starts_with(file_bytes, "\xFF\xFE", 2))
        return file_bytes.size() % 2 == 0 ? stored_form::utf16le : stored_form::not_rewritable;
    // Windows keeps the other bytes, whatever they are, and stores the new text in ANSI.
    if (system == profile_system::windows)
        return stored_form::ansi;
    // Wine honours a UTF-16BE mark, cuts a line at a zero byte and rewrites the rest
    // through the file's encoding: UTF-8 after its mark, ANSI otherwise.
    if (starts_with(file_bytes, "\xFE\xFF", 2) || file_bytes.find('\0') != std::string::npos)
        return stored_form::not_rewritable;
    if (starts_with(file_bytes, "\xEF\xBB\xBF", 3))
        return survives_rewrite(file_bytes, CP_UTF8) ? stored_form::ascii_only : stored_form::not_rewritable;
    return survives_rewrite(file_bytes, CP_ACP) ? stored_form::ansi : stored_form::not_rewritable;
}

bool cfg_write_allowed(const std::wstring& section, const std::wstring& key, const std::wstring& value)
{
    if (!reads_back_whole(section) || !reads_back_whole(key) || !reads_back_whole(value))
        return false;
    // A section name must close its own header.
    if (section.empty() || section.find_first_of(L"[]") != std::wstring::npos)
        return false;
    // A key must not read back as a header, a comment, or another key with the rest of it
    // as value. Windows takes a line starting with ";" for a comment: such a key would
    // never be found again, and each write would add another line.
    if (key.empty() || key.front() == L'[' || key.front() == L';' || key.front() == L'#' ||
        key.compare(0, 2, L"//") == 0 || key.find(L'=') != std::wstring::npos)
        return false;
    // The profile functions drop quotes around a value.
    return !(value.size() >= 2 && is_quote(value.front()) && is_quote(value.back()));
}

bool write_allowed(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, profile_system system)
{
    if (!cfg_write_allowed(section, key, value))
        return false;
    const stored_form form = stored_form_of(file_bytes, system);
    return survives_storage(section, form) && survives_storage(key, form) && survives_storage(value, form);
}

bool write_allowed_to_file(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value)
{
    std::string bytes;
    const int error = read_whole_file(path.c_str(), bytes);
    // A file that is not there yet is created as ANSI text.
    if (error != 0 && error != ENOENT)
        return false;
    return write_allowed(bytes, section, key, value, running_profile_system());
}
