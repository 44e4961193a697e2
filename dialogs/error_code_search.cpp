#include "dialogs/error_code_search.h"

#include "dialogs/error_table.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

wchar_t upper_case(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool begins_with(std::wstring_view text, std::wstring_view prefix)
{
    return prefix.size() <= text.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](wchar_t p, wchar_t t) { return upper_case(p) == t; });
}

// `code` in `base` with upper-case digits, padded with zeros to `width` digits.
std::wstring digits_of(std::uint32_t code, std::uint32_t base, std::size_t width)
{
    std::wstring text;
    do {
        text.insert(text.begin(), L"0123456789ABCDEF"[code % base]);
        code /= base;
    } while (code != 0);
    if (text.size() < width)
        text.insert(0, width - text.size(), L'0');
    return text;
}

// The first row whose code in `base` begins with `typed`, as shown or without its zeros.
std::optional<std::size_t> first_row(std::wstring_view typed, std::uint32_t base, std::size_t shown_width)
{
    for (std::size_t row = 0; row < error_table.size(); ++row) {
        const auto code = static_cast<std::uint32_t>(error_table[row].code);
        if (begins_with(digits_of(code, base, shown_width), typed) || begins_with(digits_of(code, base, 1), typed))
            return row;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::size_t> find_error_row(std::wstring_view typed)
{
    if (typed.empty())
        return std::nullopt;
    if (typed.size() >= 2 && typed[0] == L'0' && upper_case(typed[1]) == L'X')
        return first_row(typed.substr(2), 16, error_code_hex_digits);
    // A text with letters begins no decimal code, so trying decimal first serves every text.
    if (const auto row = first_row(typed, 10, error_code_decimal_digits))
        return row;
    return first_row(typed, 16, error_code_hex_digits);
}
