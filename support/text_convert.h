// Code-page conversion and byte-order-mark decoding. Narrow text only enters at the
// borders (environment, the INI reader, raw file bytes, the UTF-8 error table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Receives delivered text or bytes. For kind_text, `length` is the number of bytes at
// `data`; for kind_report, `length` is a condition code and `data` holds no text.
using text_sink = std::int32_t (*)(const void* data, std::uint64_t length, std::uint64_t total,
                                   std::int32_t kind, void* user);

constexpr std::int32_t sink_kind_report = 1;
constexpr std::int32_t sink_kind_text = 2;
// Reported (kind_report) by decode_text_bytes for input too short to hold a mark.
constexpr std::uint64_t report_text_too_short = 2012;
// A chunk reader's sink returns this to stop the reading.
constexpr std::int32_t sink_stop = -98;
// Windows' ERROR_INVALID_PARAMETER, returned for a missing text or sink.
constexpr std::int32_t status_invalid_parameter = 87;

// NUL-terminated narrow text in `code_page` to UTF-16; null counts as empty.
std::wstring multibyte_to_wide(const char* text, unsigned code_page);
// NUL-terminated UTF-16 text to the ANSI code page.
std::string wide_to_ansi(const wchar_t* text);

// Decodes a whole text file's bytes by its byte-order mark and hands the result to
// `sink` in one call:
// - fewer than 3 bytes: kind_report with length report_text_too_short, total 0;
// - FF FE: the bytes after the mark as they are (an odd trailing byte counts);
// - FE FF: the units after the mark byte-swapped (an odd trailing byte is dropped);
// - EF BB BF: the rest converted from UTF-8; otherwise all of it from the ANSI code page.
// Text deliveries are kind_text with length = total = bytes of UTF-16 text.
// Null bytes read as an empty file; a null sink gets nothing.
void decode_text_bytes(const void* bytes, std::uint32_t size, text_sink sink, void* user);

// Converts `size` bytes of `text` from `code_page` and delivers the UTF-16 result to
// `sink` in one call (NUL-terminated after the delivered units; embedded NULs are
// converted like any other byte). Up to 254 units are converted without touching the
// heap. Returns 0, or status_invalid_parameter for a null text or sink.
std::int32_t multibyte_to_sink(const char* text, std::uint32_t size, unsigned code_page, text_sink sink,
                               void* user);

// `count` UTF-16 units read from `units` (need not be aligned), each byte-swapped.
std::wstring swap_utf16_bytes(const void* units, std::size_t count);
