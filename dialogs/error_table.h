// The scanner driver's and device's result and status codes, in display order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The list shows every code with this many digits, padded with zeros.
constexpr int error_code_decimal_digits = 5;
constexpr int error_code_hex_digits = 4;

struct error_entry {
    std::int32_t code;   // 0..0xFFFF
    const char* message; // UTF-8
};

constexpr std::size_t error_table_size = 53;

extern const std::array<error_entry, error_table_size> error_table;
