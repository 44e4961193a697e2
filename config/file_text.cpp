#include "config/file_text.h"

#include "support/shared_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t chunk_size = 1024;

} // namespace

std::int32_t read_file_chunks(const wchar_t* path, text_sink sink, void* context)
{
    if (!path || !sink)
        return status_invalid_parameter;

    // Shared for every kind of access: the driver must be able to write the file while
    // the page reads it.
    shared_file file(path);
    if (!file.is_open())
        return file.error();

    const std::uint64_t total = file.size();
    unsigned char chunk[chunk_size] = {};
    for (;;) {
        const std::size_t count = file.read(chunk, chunk_size);
        if (count == 0)
            break;
        if (sink(chunk, count, total, sink_kind_text, context) == sink_stop)
            break;
    }
    return 0;
}

std::int32_t collect_bytes(const void* data, std::uint64_t length, std::uint64_t /*total*/, std::int32_t /*kind*/,
                           void* context)
{
    if (data && context && length > 0)
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(length));
    return 0;
}

std::int32_t collect_wide_text(const void* data, std::uint64_t length, std::uint64_t /*total*/, std::int32_t kind,
                               void* context)
{
    // A report (kind 1) carries a code in `length`, not text.
    if (kind != sink_kind_text || !data || !context)
        return 0;
    const std::size_t units = static_cast<std::size_t>(length / sizeof(wchar_t));
    auto& text = *static_cast<std::wstring*>(context);
    const std::size_t old_size = text.size();
    text.resize(old_size + units);
    // The data need not be aligned for wchar_t: copy bytes.
    std::memcpy(&text[old_size], data, units * sizeof(wchar_t));
    return 0;
}

std::int32_t read_cfg_bytes(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    return read_file_chunks(path.c_str(), collect_bytes, &bytes);
}
