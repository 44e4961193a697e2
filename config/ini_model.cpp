#include "config/ini_model.h"

#include "support/shared_file.h"
#include "support/text_convert.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Byte-wise, bytes unsigned, shorter first on a common prefix; no case folding.
bool bytes_less(const std::string& a, const std::string& b)
{
    const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    return order != 0 ? order < 0 : a.size() < b.size();
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

// Collects the sections while the file is read. Entries are appended in file order and
// each section is sorted once at the end, equal keys staying in file order. Sections
// closed so far are kept by name, so a re-opened header finds its earlier entries.
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
            std::stable_sort(entries.begin(), entries.end(),
                             [](const ini_entry& a, const ini_entry& b) { return bytes_less(a.key, b.key); });
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

// One whole line, its line end included; its text ends at its first zero byte.
void parse_line(const char* p, const char* end, section_builder& builder)
{
    end = std::find(p, end, '\0');
    while (p != end && is_blank(*p))
        ++p;
    if (p == end || *p == '#' || (p[0] == '/' && p + 1 != end && p[1] == '/'))
        return;

    if (*p == '[') {
        // Up to the first "]", untrimmed; without one, the rest of the line, line end included.
        const char* const name_begin = p + 1;
        builder.header(std::string(name_begin, std::find(name_begin, end, ']')));
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

void ini_model::parse(const std::string& bytes)
{
    section_builder builder;
    const char* const end = bytes.data() + bytes.size();
    for (const char* line = bytes.data(); line != end;) {
        const char* const line_end = std::find(line, end, '\n');
        const char* const next = line_end == end ? end : line_end + 1;
        parse_line(line, next, builder);
        line = next;
    }
    sections = builder.finish();
}

int ini_model::load(const char* path)
{
    sections.clear();
    if (!path)
        return status_invalid_parameter;

    // Read at once and shared with every other reader and writer, so the driver is never
    // locked out; every line is taken whole, however long.
    std::string bytes;
    if (const int error = read_whole_file(path, bytes))
        return error;
    parse(bytes);
    return 0;
}

const ini_section* ini_model::find(const std::string& name) const
{
    const auto found =
        std::find_if(sections.begin(), sections.end(), [&name](const ini_section& s) { return s.name == name; });
    return found != sections.end() ? &*found : nullptr;
}
