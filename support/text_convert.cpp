#include "support/text_convert.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <vector>

static_assert(sizeof(wchar_t) == 2, "UTF-16 wide characters expected");

namespace {

// The Windows converters take int lengths; anything larger is treated as a failed
// conversion (empty result) rather than silently truncated.
bool fits_int(std::size_t length) { return length <= static_cast<std::size_t>(INT_MAX); }

// Units the converter would produce for `length` bytes, 0 for empty input or failure.
int wide_units_for(const char* text, std::size_t length, unsigned code_page)
{
    if (length == 0 || !fits_int(length)) return 0;
    const int n = MultiByteToWideChar(code_page, 0, text, static_cast<int>(length), nullptr, 0);
    return n > 0 ? n : 0;
}

// Converts into `out` (room for `room` units) and terminates after what was produced.
int convert_into(const char* text, std::size_t length, unsigned code_page, wchar_t* out, int room)
{
    int m = 0;
    if (room > 0) {
        m = MultiByteToWideChar(code_page, 0, text, static_cast<int>(length), out, room);
        if (m < 0) m = 0;
    }
    out[m] = L'\0';
    return m;
}

std::int32_t deliver(const wchar_t* units, int count, text_sink sink, void* user)
{
    const auto bytes = static_cast<std::uint64_t>(count) * sizeof(wchar_t);
    return sink(units, bytes, bytes, sink_kind_text, user);
}

// Texts up to this many units are converted in a local buffer: 2n + 4 bytes fit in 512.
constexpr int local_units = 254;

} // namespace

std::wstring multibyte_to_wide(const char* text, unsigned code_page)
{
    if (text == nullptr) return {};
    const std::size_t length = std::strlen(text);
    const int n = wide_units_for(text, length, code_page);
    if (n == 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 2, L'\0');
    convert_into(text, length, code_page, buffer.data(), n);
    return std::wstring(buffer.data());
}

std::string wide_to_ansi(const wchar_t* text)
{
    if (text == nullptr) return {};
    const std::size_t length = std::wcslen(text);
    if (length == 0 || !fits_int(length)) return {};
    const int count = static_cast<int>(length);
    const int n = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(n) + 2, '\0');
    int m = WideCharToMultiByte(CP_ACP, 0, text, count, buffer.data(), n, nullptr, nullptr);
    if (m < 0) m = 0;
    buffer[static_cast<std::size_t>(m)] = '\0';
    return std::string(buffer.data());
}

std::int32_t multibyte_to_sink(const char* text, std::uint32_t size, unsigned code_page, text_sink sink,
                               void* user)
{
    if (text == nullptr || sink == nullptr) return status_invalid_parameter;

    const int n = wide_units_for(text, size, code_page);
    if (n <= local_units) {
        // The common case (short files, single values) stays off the heap.
        wchar_t local[local_units + 2] = {};
        const int m = convert_into(text, size, code_page, local, n);
        deliver(local, m, sink, user);
    } else {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 2, L'\0');
        const int m = convert_into(text, size, code_page, buffer.data(), n);
        deliver(buffer.data(), m, sink, user);
    }
    return 0;
}

void decode_text_bytes(const void* bytes, std::uint32_t size, text_sink sink, void* user)
{
    if (sink == nullptr) return;
    // No bytes at all reads as an empty file rather than a crash.
    if (bytes == nullptr) size = 0;

    const auto* p = static_cast<const unsigned char*>(bytes);
    // Too short to tell a mark from text: report it, deliver nothing. This test comes
    // first, so a file holding only "FF FE" is reported, not decoded.
    if (size < 3) {
        sink(bytes, report_text_too_short, 0, sink_kind_report, user);
        return;
    }
    if (p[0] == 0xFF && p[1] == 0xFE) {
        // Already UTF-16LE: hand the bytes on untouched, odd trailing byte included.
        const std::uint64_t length = size - 2u;
        sink(p + 2, length, length, sink_kind_text, user);
        return;
    }
    if (p[0] == 0xFE && p[1] == 0xFF) {
        // Big-endian: whole units only; an odd trailing byte is dropped.
        const std::wstring text = swap_utf16_bytes(p + 2, (size - 2u) / 2u);
        const std::uint64_t length = static_cast<std::uint64_t>(text.size()) * sizeof(wchar_t);
        sink(text.c_str(), length, length, sink_kind_text, user);
        return;
    }
    const char* chars = static_cast<const char*>(bytes);
    if (p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
        multibyte_to_sink(chars + 3, size - 3u, CP_UTF8, sink, user);
        return;
    }
    multibyte_to_sink(chars, size, CP_ACP, sink, user);
}

std::wstring swap_utf16_bytes(const void* units, std::size_t count)
{
    if (units == nullptr || count == 0) return {};
    std::wstring text(count, L'\0');
    // memcpy: the units may start at an odd address (just after a two-byte mark).
    std::memcpy(&text[0], units, count * sizeof(wchar_t));
    for (wchar_t& unit : text) {
        const auto u = static_cast<unsigned>(unit);
        unit = static_cast<wchar_t>(((u & 0xFFu) << 8) | ((u >> 8) & 0xFFu));
    }
    return text;
}
