// What a write through the profile functions will store in debug.cfg, judged the same
// way on every Windows and on Wine: a write is allowed only when the file keeps every
// other byte and the written text reads back exactly as given.
#pragma once

#include <string>

enum class stored_form {
    // No mark (or no file yet): the functions store text in the ANSI code page and
    // rewrite the whole file through it.
    ansi,
    // A UTF-16LE mark (and whole 16-bit units): any text is stored exactly.
    utf16le,
    // A UTF-8 mark: Windows reads and rewrites such a file through the ANSI code page,
    // Wine as UTF-8; both store ASCII text alike, nothing else.
    ascii_only,
    // A rewrite would change what the file holds: its bytes do not survive the ANSI code
    // page (UTF-8 text without a mark under code page 936, for example), it holds zero
    // bytes without a UTF-16LE mark (not text to the ANSI functions), or it carries a
    // UTF-16BE mark, which Windows and Wine read differently; a UTF-8 mark before bytes
    // that are no UTF-8; a UTF-16LE mark before an odd number of bytes.
    not_rewritable,
};

stored_form stored_form_of(const std::string& file_bytes);
// The form of the file at `path` as it is now; a missing file is ansi.
stored_form stored_form_of_file(const std::wstring& path);

// True when `text` is stored and read back exactly in a file of that form.
bool survives_storage(const std::wstring& text, stored_form form);
