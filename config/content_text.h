// debug.cfg as the content box shows it, line by line, and the bytes that store an edited
// box: the lines the user did not change keep their bytes, line breaks included.
#pragma once

#include <cstddef>
#include <string>

// How the file stores its text, told by its first bytes.
enum class content_encoding {
    ansi,    // no mark: the ANSI code page
    utf8,    // EF BB BF
    utf16le, // FF FE
    utf16be, // FE FF
};

content_encoding content_encoding_of(const std::string& file_bytes);

// The box's text for the file: each line decoded by the file's mark, followed by CR LF
// where the line has a break (CR LF or LF alone; a lone CR is part of the line). Empty
// for files of fewer than three bytes.
std::wstring content_box_text(const std::string& file_bytes);

enum class content_refusal {
    none,
    // A changed line holds a character the file's encoding cannot store.
    character_not_stored,
    // The box cannot hold the whole file: the text holds a NUL character (an edit
    // control ends at it), or the file has one or two bytes (shown as an empty box).
    file_holds_nul,
    file_too_short,
    // The text would make a file of one or two bytes, which would show as an empty box.
    text_too_short,
};

struct content_write {
    content_refusal refusal = content_refusal::none;
    std::size_t line = 0; // character_not_stored: the box's line, counted from 1
    std::string bytes;    // none: the file's new bytes
};

// The bytes that make the file read as `box_text` (the content box's text, from a box
// filled with content_box_text(file_bytes)), or why it cannot. The file's mark and
// encoding stay; a line whose text equals a line of the file keeps that line's bytes
// and break; a new or changed line ends with the break most of the file's lines use
// (CR LF for a file without breaks, and for a line ending in CR, which an LF would join
// to it). An empty `file_bytes` is a new file: ANSI code page, CR LF.
content_write content_write_for(const std::string& file_bytes, const std::wstring& box_text);
