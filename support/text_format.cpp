#include "support/text_format.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

std::wstring decimal_text(std::int32_t value) { return std::to_wstring(static_cast<long long>(value)); }

std::int32_t format_text(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...)
{
    if (buffer == nullptr || capacity == 0) return -1;
    if (format == nullptr) {
        buffer[0] = L'\0';
        return -1;
    }
    va_list args;
    va_start(args, format);
    // Bounded by the capacity. Runtimes disagree on what an overflow returns (negative,
    // or the length that would have been needed), so both count as "does not fit".
    const int written = std::vswprintf(buffer, capacity, format, args);
    va_end(args);
    if (written < 0 || static_cast<std::size_t>(written) >= capacity) {
        buffer[0] = L'\0';
        return -1;
    }
    return written;
}

std::wstring system_error_text(std::uint32_t code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text ? text : L"", text ? length : 0);
    LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
        result.pop_back();
    return result;
}
