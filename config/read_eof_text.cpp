#include "config/read_eof_text.h"

#include "config/cfg_keys.h"

#include <map>

namespace {

constexpr wchar_t line_end[] = L"\r\n";
constexpr std::size_t line_end_length = 2;

// The lines after the first header line, in order; none when there is no header. A last
// line without CR LF still counts.
std::vector<std::wstring> lines_after_header(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    const std::size_t header = text.find(read_eof_text_header);
    if (header == std::wstring::npos)
        return lines;
    std::size_t start = header + std::char_traits<wchar_t>::length(read_eof_text_header);
    while (start < text.size()) {
        std::size_t end = text.find(line_end, start);
        std::size_t next = end + line_end_length;
        if (end == std::wstring::npos)
            end = next = text.size();
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

// Split at the first "=" only, nothing trimmed: blanks belong to the key or the value,
// and a value other than exactly "1" is off. A line without "=" writes nothing.
bool line_write(const std::wstring& line, std::pair<std::wstring, std::wstring>& write)
{
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
        return false;
    const bool on = line.compare(equals + 1, std::wstring::npos, cfg::value_on) == 0;
    write = {line.substr(0, equals), on ? cfg::value_on : cfg::value_off};
    return true;
}

// Which of `lines` the lines of `other` after its header do not account for: each line
// of `other` accounts for one equal line, wherever it stands.
std::vector<bool> lines_not_in(const std::vector<std::wstring>& lines, const std::wstring& other)
{
    std::map<std::wstring, std::size_t> left;
    for (std::wstring& line : lines_after_header(other))
        ++left[std::move(line)];
    std::vector<bool> result;
    for (const std::wstring& line : lines) {
        const auto found = left.find(line);
        const bool accounted = found != left.end() && found->second > 0;
        if (accounted)
            --found->second;
        result.push_back(!accounted);
    }
    return result;
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

read_eof_writes changed_read_eof_writes(const std::wstring& text, const std::wstring& shown,
                                        const std::wstring& now)
{
    read_eof_writes writes;
    const std::vector<std::wstring> lines = lines_after_header(text);
    const std::vector<bool> changed = lines_not_in(lines, shown), not_in_file = lines_not_in(lines, now);
    std::pair<std::wstring, std::wstring> write;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (changed[i] && not_in_file[i] && line_write(lines[i], write))
            writes.push_back(write);
    return writes;
}
