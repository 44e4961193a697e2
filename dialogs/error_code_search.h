// Finding an error code's row from the code as a user types it, copied from a log or a
// screenshot: decimal with or without its leading zeros, hexadecimal with or without "0x".
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// The index in error_table of the first row whose code begins with `typed`:
// - digits alone: the decimal code, five digits as shown or without its leading zeros;
//   where no decimal code fits, the hexadecimal one, as below. Decimal comes first, so
//   "5" finds 56832 (0xDE00) rather than 0x5B00;
// - "0x" or any of the letters a-f, in either case: the hexadecimal code, four digits as
//   shown or without its leading zeros.
// None for an empty text and for text that begins no code.
std::optional<std::size_t> find_error_row(std::wstring_view typed);
