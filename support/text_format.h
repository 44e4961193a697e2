// Decimal text, bounded wide formatting and the system's text for an error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// "-7", "0", "53": no grouping, no leading zeros or blanks.
std::wstring decimal_text(std::int32_t value);

// printf-style wide formatting into `buffer` of `capacity` characters (terminator
// included). Returns the characters written, or -1 with an empty buffer when the
// text does not fit.
std::int32_t format_text(wchar_t* buffer, std::size_t capacity, const wchar_t* format, ...);

// The system's own text for a Windows error code, in the user's language, without its
// line break; empty when the system has none.
std::wstring system_error_text(std::uint32_t code);
