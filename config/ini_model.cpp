#include "config/ini_model.h"

#include "support/text_convert.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace {

// fgets with a count of 255 into a 256-byte buffer: a line longer than 254 bytes
// arrives in pieces, each parsed as a line of its own.
constexpr int line_buffer_size = 256;
constexpr int line_read_count = 255;

struct file_closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

// Byte-wise, bytes unsigned, shorter first on a common prefix; no case folding. Both
// strings are compared from byte `from` on.
bool bytes_less(const std::string& a, const std::string& b, std::size_t from = 0)
{
    const std::size_t size_a = a.size() > from ? a.size() - from : 0;
    const std::size_t size_b = b.size() > from ? b.size() - from : 0;
    const int order = std::memcmp(a.data() + (size_a ? from : 0), b.data() + (size_b ? from : 0),
                                  std::min(size_a, size_b));
    return order != 0 ? order < 0 : size_a < size_b;
}

struct bytes_order {
    bool operator()(const std::string& a, const std::string& b) const { return bytes_less(a, b); }
};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string trimmed(const char* begin, const char* end)
{
    while (begin != end && is_blank(*begin))
        ++begin;
    while (end != begin && is_blank(end[-1]))
        --end;
    return std::string(begin, end);
}

bool key_less(const ini_entry& a, const ini_entry& b) { return bytes_less(a.key, b.key); }

// The 8 key bytes from `offset` on as one big-endian number, zero-padded. Keys hold no
// zero bytes, so padding sorts a shorter key first, as the byte order wants.
std::uint64_t key_window(const std::string& key, std::size_t offset)
{
    std::uint64_t window = 0;
    for (std::size_t i = offset; i < offset + 8; ++i)
        window = (window << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return window;
}

// Length of the prefix that every key shares.
std::size_t shared_prefix(const std::vector<ini_entry>& entries)
{
    const std::string& first = entries.front().key;
    std::size_t shared = first.size();
    for (const ini_entry& entry : entries) {
        std::size_t i = 0;
        while (i < shared && i < entry.key.size() && entry.key[i] == first[i])
            ++i;
        shared = i;
    }
    return shared;
}

// Sorts by key, equal keys in file order. Process names tend to share a prefix, so keys
// are ordered first by the 8 bytes after the prefix all of them share, taken as one
// integer; only keys equal there are compared further. Sorting small records by integer
// instead of moving whole entries by string comparison makes a large section several
// times cheaper to sort.
void sort_by_key(std::vector<ini_entry>& entries)
{
    if (std::is_sorted(entries.begin(), entries.end(), key_less))
        return;
    const std::size_t common = shared_prefix(entries);

    struct slot {
        std::uint64_t window;
        std::size_t index;
    };
    std::vector<slot> order;
    order.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        order.push_back(slot{key_window(entries[i].key, common), i});
    std::sort(order.begin(), order.end(), [&entries, common](const slot& a, const slot& b) {
        if (a.window != b.window)
            return a.window < b.window;
        // Equal up to common + 8: the rest decides, then the file order.
        const std::string& ka = entries[a.index].key;
        const std::string& kb = entries[b.index].key;
        if (bytes_less(ka, kb, common + 8))
            return true;
        if (bytes_less(kb, ka, common + 8))
            return false;
        return a.index < b.index;
    });

    std::vector<ini_entry> sorted;
    sorted.reserve(entries.size());
    for (const slot& s : order)
        sorted.push_back(std::move(entries[s.index]));
    entries.swap(sorted);
}

// Collects the sections while the file is read. Entries are appended in file order and
// sorted once per section at the end, so a large section costs O(n log n), not a sort
// per line. Sections closed so far are kept by name, so a re-opened header finds its
// earlier entries at once.
class section_builder {
public:
    void header(std::string name)
    {
        if (name == current_name_)
            return;
        close_current();
        current_name_ = std::move(name);
        const auto earlier = closed_.find(current_name_);
        if (earlier != closed_.end()) {
            current_entries_ = std::move(earlier->second);
            closed_.erase(earlier);
        }
    }

    void entry(std::string key, std::string value)
    {
        current_entries_.push_back(ini_entry{std::move(key), std::move(value)});
    }

    std::vector<ini_section> finish()
    {
        close_current();
        std::vector<ini_section> sections;
        sections.reserve(closed_.size());
        for (auto& [name, entries] : closed_) {
            sort_by_key(entries);
            sections.push_back(ini_section{name, std::move(entries)});
        }
        closed_.clear();
        return sections;
    }

private:
    // A section without entries is dropped.
    void close_current()
    {
        if (!current_entries_.empty())
            closed_[current_name_] = std::move(current_entries_);
        current_entries_.clear();
    }

    std::string current_name_; // entries before the first header: the empty name
    std::vector<ini_entry> current_entries_;
    std::map<std::string, std::vector<ini_entry>, bytes_order> closed_;
};

void parse_line(const char* line, section_builder& builder)
{
    const char* const end = line + std::strlen(line);
    const char* p = line;
    while (p != end && is_blank(*p))
        ++p;
    if (p == end || *p == '#' || (p[0] == '/' && p + 1 != end && p[1] == '/'))
        return;

    if (*p == '[') {
        // Up to the first "]", untrimmed; without one, the rest of the piece, line end included.
        const char* const name_begin = p + 1;
        const char* const close = std::find(name_begin, end, ']');
        builder.header(std::string(name_begin, close));
        return;
    }

    const char* const equals = std::find(p, end, '=');
    if (equals == end)
        return;
    std::string key = trimmed(p, equals);
    if (key.empty())
        return;
    builder.entry(std::move(key), trimmed(equals + 1, end));
}

} // namespace

int ini_model::load(const char* path)
{
    sections.clear();
    if (!path)
        return status_invalid_parameter;

    std::FILE* raw = nullptr;
    if (const int error = fopen_s(&raw, path, "rb"))
        return error;
    const file_ptr file(raw);

    section_builder builder;
    char line[line_buffer_size] = {};
    while (std::fgets(line, line_read_count, file.get()))
        parse_line(line, builder);

    sections = builder.finish();
    return 0;
}

const ini_section* ini_model::find(const std::string& name) const
{
    const auto found =
        std::find_if(sections.begin(), sections.end(), [&name](const ini_section& s) { return s.name == name; });
    return found != sections.end() ? &*found : nullptr;
}
