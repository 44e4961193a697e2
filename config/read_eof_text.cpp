#include "config/read_eof_text.h"

#include "config/cfg_keys.h"

namespace {

constexpr wchar_t line_end[] = L"\r\n";
constexpr std::size_t line_end_length = 2;

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

std::vector<std::pair<std::wstring, std::wstring>> parse_read_eof_text(const std::wstring& text)
{
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    const std::size_t header = text.find(read_eof_text_header);
    if (header == std::wstring::npos)
        return writes;

    std::size_t start = header + std::char_traits<wchar_t>::length(read_eof_text_header);
    while (start < text.size()) {
        std::size_t end = text.find(line_end, start);
        std::size_t next = end + line_end_length;
        if (end == std::wstring::npos) // a last line without CR LF still counts
            end = next = text.size();
        const std::wstring line = text.substr(start, end - start);
        start = next;

        // Split at the first "=" only, nothing trimmed: blanks belong to the key or the
        // value, and a value other than exactly "1" is off.
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        const bool on = line.compare(equals + 1, std::wstring::npos, cfg::value_on) == 0;
        writes.emplace_back(line.substr(0, equals), on ? cfg::value_on : cfg::value_off);
    }
    return writes;
}
