#include "support/text_format.h"

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
