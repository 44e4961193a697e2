#include "config/read_eof_text.h"

#include "config/cfg_keys.h"

#include <map>

namespace {

constexpr wchar_t line_end[] = L"\r\n";
constexpr std::size_t line_end_length = 2;

// The lines after the first header line, in order; false when there is no header. A
// last line without CR LF still counts.
bool lines_after_header(const std::wstring& text, std::vector<std::wstring>& lines)
{
    lines.clear();
    const std::size_t header = text.find(read_eof_text_header);
    if (header == std::wstring::npos)
        return false;
    std::size_t start = header + std::char_traits<wchar_t>::length(read_eof_text_header);
    while (start < text.size()) {
        std::size_t end = text.find(line_end, start);
        std::size_t next = end + line_end_length;
        if (end == std::wstring::npos)
            end = next = text.size();
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return true;
}

// Split at the first "=" only, nothing trimmed: blanks belong to the key or the value,
// and a value other than exactly "1" is off. A line without "=" writes nothing.
void add_write(const std::wstring& line, read_eof_writes& writes)
{
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
        return;
    const bool on = line.compare(equals + 1, std::wstring::npos, cfg::value_on) == 0;
    writes.emplace_back(line.substr(0, equals), on ? cfg::value_on : cfg::value_off);
}

} // namespace

std::wstring read_eof_text(const std::vector<read_eof_item>& items)
{
    std::wstring text = read_eof_text_header;
    for (const read_eof_item& item : items) {
        text += item.name;
        text += L'=';
        text += item.enabled ? cfg::value_on : cfg::value_off;
        text += line_end;
    }
    return text;
}

read_eof_writes changed_read_eof_writes(const std::wstring& text, const std::wstring& shown)
{
    read_eof_writes writes;
    std::vector<std::wstring> lines;
    if (!lines_after_header(text, lines))
        return writes;
    // Each shown line accounts for one equal line of the text, wherever it stands.
    std::map<std::wstring, std::size_t> untouched;
    std::vector<std::wstring> shown_lines;
    lines_after_header(shown, shown_lines);
    for (std::wstring& line : shown_lines)
        ++untouched[std::move(line)];
    for (const std::wstring& line : lines) {
        const auto found = untouched.find(line);
        if (found != untouched.end() && found->second > 0)
            --found->second;
        else
            add_write(line, writes);
    }
    return writes;
}
