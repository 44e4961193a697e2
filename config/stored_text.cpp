#include "config/stored_text.h"

#include "support/shared_file.h"
#include "support/text_convert.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

bool starts_with(const std::string& bytes, const char* mark, std::size_t length)
{
    return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// The functions read the bytes as text of the code page and write that text back.
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

} // namespace

stored_form stored_form_of(const std::string& file_bytes)
{
    // An odd last byte is no character and would be dropped.
    if (starts_with(file_bytes, "\xFF\xFE", 2))
        return file_bytes.size() % 2 == 0 ? stored_form::utf16le : stored_form::not_rewritable;
    if (starts_with(file_bytes, "\xFE\xFF", 2) || file_bytes.find('\0') != std::string::npos ||
        !survives_rewrite(file_bytes, CP_ACP))
        return stored_form::not_rewritable;
    // Wine rewrites a file with this mark as UTF-8, Windows through the ANSI code page:
    // both must give its bytes back.
    if (starts_with(file_bytes, "\xEF\xBB\xBF", 3))
        return survives_rewrite(file_bytes, CP_UTF8) ? stored_form::ascii_only : stored_form::not_rewritable;
    return stored_form::ansi;
}

stored_form stored_form_of_file(const std::wstring& path)
{
    std::string bytes;
    const int error = read_whole_file(path.c_str(), bytes);
    // A file that is not there yet is created as ANSI text; one that cannot be read
    // cannot be judged, so it is not written either.
    if (error == ENOENT)
        return stored_form::ansi;
    return error == 0 ? stored_form_of(bytes) : stored_form::not_rewritable;
}

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
