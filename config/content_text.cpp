#include "config/content_text.h"

#include "config/file_text.h"
#include "support/text_convert.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Files shorter than this show as an empty box, whatever they hold.
constexpr std::size_t shortest_shown_file = 3;

struct file_layout {
    content_encoding encoding;
    std::size_t mark; // bytes of the byte-order mark
    std::size_t unit; // bytes of one code unit
};

file_layout layout_of(const std::string& bytes)
{
    switch (content_encoding_of(bytes)) {
    case content_encoding::utf8:
        return {content_encoding::utf8, 3, 1};
    case content_encoding::utf16le:
        return {content_encoding::utf16le, 2, 2};
    case content_encoding::utf16be:
        return {content_encoding::utf16be, 2, 2};
    case content_encoding::ansi:
        break;
    }
    return {content_encoding::ansi, 0, 1};
}

// One line of the file: its text's bytes [begin, text_end), then its break up to `end`.
struct file_line {
    std::size_t begin;
    std::size_t text_end;
    std::size_t end;
    bool has_break() const { return end > text_end; }
};

unsigned unit_at(const std::string& bytes, std::size_t at, const file_layout& layout)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (layout.unit == 1)
        return byte(at);
    return layout.encoding == content_encoding::utf16le ? byte(at) | byte(at + 1) << 8 : byte(at) << 8 | byte(at + 1);
}

// Lines end at LF, with a CR right before it belonging to the break. The last line has no
// break (it may be empty); an odd byte after the last whole UTF-16 unit belongs to it.
std::vector<file_line> lines_of(const std::string& bytes, const file_layout& layout)
{
    std::vector<file_line> lines;
    std::size_t begin = std::min(layout.mark, bytes.size());
    for (std::size_t at = begin; at + layout.unit <= bytes.size(); at += layout.unit) {
        if (unit_at(bytes, at, layout) != L'\n')
            continue;
        const bool cr = at >= begin + layout.unit && unit_at(bytes, at - layout.unit, layout) == L'\r';
        lines.push_back({begin, cr ? at - layout.unit : at, at + layout.unit});
        begin = at + layout.unit;
    }
    lines.push_back({begin, bytes.size(), bytes.size()});
    return lines;
}

std::wstring decoded(const char* data, std::size_t size, content_encoding encoding)
{
    if (encoding == content_encoding::utf16be)
        return swap_utf16_bytes(data, size / 2);
    std::wstring text;
    if (encoding == content_encoding::utf16le)
        collect_wide_text(data, size, size, sink_kind_text, &text);
    else
        multibyte_to_sink(data, static_cast<std::uint32_t>(std::min<std::size_t>(size, INT_MAX)),
                          encoding == content_encoding::utf8 ? CP_UTF8 : CP_ACP, collect_wide_text, &text);
    return text;
}

std::wstring line_text(const std::string& bytes, const file_line& line, content_encoding encoding)
{
    return decoded(bytes.data() + line.begin, line.text_end - line.begin, encoding);
}

// The text's bytes in the encoding, or nothing when they would not read back as the text
// (a character the code page lacks, stored as "?" or a look-alike; a lone surrogate).
std::optional<std::string> encoded(const std::wstring& text, content_encoding encoding)
{
    std::string bytes;
    if (encoding == content_encoding::utf16le || encoding == content_encoding::utf16be) {
        for (wchar_t c : text) {
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8 & 0xFF);
            bytes += encoding == content_encoding::utf16le ? std::string{low, high} : std::string{high, low};
        }
        return bytes;
    }
    if (text.empty())
        return bytes;
    const unsigned code_page = encoding == content_encoding::utf8 ? CP_UTF8 : CP_ACP;
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(code_page, 0, text.data(), length, nullptr, 0, nullptr, nullptr)));
    if (!bytes.empty())
        WideCharToMultiByte(code_page, 0, text.data(), length, &bytes[0], static_cast<int>(bytes.size()), nullptr,
                            nullptr);
    if (bytes.empty() || decoded(bytes.data(), bytes.size(), encoding) != text)
        return std::nullopt;
    return bytes;
}

// The box's lines: cut at LF, a CR right before it dropped with it, as the box was filled.
std::vector<std::wstring> box_lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::size_t begin = 0;
    for (std::size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', begin)) {
        const bool cr = at > begin && text[at - 1] == L'\r';
        lines.push_back(text.substr(begin, (cr ? at - 1 : at) - begin));
        begin = at + 1;
    }
    lines.push_back(text.substr(begin));
    return lines;
}

// For each box line, the file line whose bytes it keeps, or npos for a new or changed line.
// The lines before and after the edit match in place; in between, a box line takes the
// first file line of equal text not taken yet, so lines moved or left between two edits
// keep their bytes too.
std::vector<std::size_t> kept_lines(const std::vector<std::wstring>& file_texts, const std::vector<std::wstring>& box)
{
    constexpr std::size_t none = std::wstring::npos;
    std::vector<std::size_t> kept(box.size(), none);
    std::size_t head = 0;
    while (head < box.size() && head < file_texts.size() && box[head] == file_texts[head]) {
        kept[head] = head;
        ++head;
    }
    std::size_t box_end = box.size(), file_end = file_texts.size();
    while (box_end > head && file_end > head && box[box_end - 1] == file_texts[file_end - 1])
        kept[--box_end] = --file_end;

    // Each text's unused file lines, the first one last.
    std::unordered_map<std::wstring_view, std::vector<std::size_t>> unused;
    for (std::size_t i = file_end; i-- > head;)
        unused[file_texts[i]].push_back(i);
    for (std::size_t i = head; i < box_end; ++i) {
        const auto found = unused.find(box[i]);
        if (found == unused.end() || found->second.empty())
            continue;
        kept[i] = found->second.back();
        found->second.pop_back();
    }
    return kept;
}

} // namespace

content_encoding content_encoding_of(const std::string& file_bytes)
{
    const auto starts_with = [&](const char* mark) {
        return file_bytes.compare(0, std::strlen(mark), mark) == 0;
    };
    if (starts_with("\xFF\xFE"))
        return content_encoding::utf16le;
    if (starts_with("\xFE\xFF"))
        return content_encoding::utf16be;
    if (starts_with("\xEF\xBB\xBF"))
        return content_encoding::utf8;
    return content_encoding::ansi;
}

std::wstring content_box_text(const std::string& file_bytes)
{
    if (file_bytes.size() < shortest_shown_file)
        return {};
    const file_layout layout = layout_of(file_bytes);
    std::wstring text;
    for (const file_line& line : lines_of(file_bytes, layout)) {
        text += line_text(file_bytes, line, layout.encoding);
        if (line.has_break())
            text += L"\r\n";
    }
    return text;
}

content_write content_write_for(const std::string& file_bytes, const std::wstring& box_text)
{
    content_write result;
    if (!file_bytes.empty() && file_bytes.size() < shortest_shown_file) {
        result.refusal = content_refusal::file_too_short;
        return result;
    }
    const file_layout layout = layout_of(file_bytes);
    const std::vector<file_line> lines = lines_of(file_bytes, layout);
    std::vector<std::wstring> file_texts;
    std::size_t lf_breaks = 0, crlf_breaks = 0;
    for (const file_line& line : lines) {
        file_texts.push_back(line_text(file_bytes, line, layout.encoding));
        if (file_texts.back().find(L'\0') != std::wstring::npos) {
            result.refusal = content_refusal::file_holds_nul;
            return result;
        }
        if (line.has_break())
            ++(line.end - line.text_end == layout.unit ? lf_breaks : crlf_breaks);
    }
    const std::string crlf = *encoded(L"\r\n", layout.encoding), lf = *encoded(L"\n", layout.encoding);
    const std::string& usual_break = lf_breaks > crlf_breaks ? lf : crlf;

    const std::vector<std::wstring> box = box_lines(box_text);
    const std::vector<std::size_t> kept = kept_lines(file_texts, box);
    std::string& bytes = result.bytes;
    bytes.assign(file_bytes, 0, std::min(layout.mark, file_bytes.size()));
    for (std::size_t i = 0; i < box.size(); ++i) {
        const bool last = i + 1 == box.size();
        if (kept[i] != std::wstring::npos) {
            const file_line& line = lines[kept[i]];
            bytes.append(file_bytes, line.begin, (line.has_break() && !last ? line.end : line.text_end) - line.begin);
            if (line.has_break() || last)
                continue;
        } else if (const std::optional<std::string> text = encoded(box[i], layout.encoding)) {
            bytes += *text;
        } else {
            result = content_write{content_refusal::character_not_stored, i + 1, {}};
            return result;
        }
        if (!last)
            bytes += !box[i].empty() && box[i].back() == L'\r' ? crlf : usual_break;
    }
    if (!bytes.empty() && bytes.size() < shortest_shown_file)
        result = content_write{content_refusal::text_too_short, 0, {}};
    return result;
}
