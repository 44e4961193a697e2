// Reading debug.cfg as raw bytes and as decoded text.
#pragma once

#include "support/text_convert.h"

#include <cstdint>
#include <string>

// Reads the file in chunks of 1024 bytes, each delivered to `sink` (kind text, total =
// file size) until the end or until the sink returns sink_stop. Returns 0, or the C
// runtime's error number when the file cannot be opened.
std::int32_t read_file_chunks(const wchar_t* path, text_sink sink, void* context);

// Sinks: append the delivered bytes to a std::string / the delivered UTF-16 text to a
// std::wstring (kind text only). Both return 0.
std::int32_t collect_bytes(const void* data, std::uint64_t length, std::uint64_t total, std::int32_t kind,
                           void* context);
std::int32_t collect_wide_text(const void* data, std::uint64_t length, std::uint64_t total, std::int32_t kind,
                               void* context);

// The whole file's bytes into `bytes`, read in chunks as above; returns 0, or the error
// number of the failed open (then `bytes` is empty).
std::int32_t read_cfg_bytes(const std::wstring& path, std::string& bytes);
