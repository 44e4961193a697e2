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

// The ANSI functions read the bytes as text and write that text back.
bool survives_ansi_rewrite(const std::string& bytes)
{
    if (bytes.size() > static_cast<std::size_t>(INT_MAX))
        return false;
    return wide_to_ansi(multibyte_to_wide(bytes.c_str(), CP_ACP).c_str()) == bytes;
}

} // namespace

stored_form stored_form_of(const std::string& file_bytes)
{
    if (starts_with(file_bytes, "\xFF\xFE", 2))
        return stored_form::utf16le;
    if (starts_with(file_bytes, "\xFE\xFF", 2) || file_bytes.find('\0') != std::string::npos ||
        !survives_ansi_rewrite(file_bytes))
        return stored_form::not_rewritable;
    if (starts_with(file_bytes, "\xEF\xBB\xBF", 3))
        return stored_form::ascii_only;
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
