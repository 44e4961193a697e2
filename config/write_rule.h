// Whether one write of debug.cfg may happen: the one place that decides it, used by
// every write of the program. A write is allowed when the section, key and value are
// stored so that they read back exactly as given and cannot read as a header, a comment
// or another key, and when no other key of the file reads differently afterwards.
#pragma once

#include <string>

// The profile functions of the two systems the program runs on differ in what a write
// does to the rest of the file.
enum class profile_system {
    // Edits the file in place: every other byte stays as it was.
    windows,
    // Rewrites the whole file from its parsed form, through its encoding.
    wine,
};

// The system this process runs on, found once.
profile_system running_profile_system();

// How a write stores text in a file, judged from the file's bytes.
enum class stored_form {
    // No UTF-16LE mark (or no file yet): text is stored in the ANSI code page.
    ansi,
    // A UTF-16LE mark and whole 16-bit units: any text is stored exactly.
    utf16le,
    // Under Wine, a UTF-8 mark: the file is rewritten as UTF-8 with its mark. Held to
    // ASCII, as the page's own reader sees such a file's keys through the ANSI code page.
    ascii_only,
    // Nothing may be written: under Wine, a rewrite would change what the file holds (its
    // bytes do not survive the ANSI code page, it holds zero bytes, it carries a UTF-16BE
    // mark, or a UTF-8 mark before bytes that are no UTF-8); on both systems, a UTF-16LE
    // mark before an odd number of bytes (Wine makes the last byte a character of its
    // own; Windows was not seen to keep it).
    not_rewritable,
};

stored_form stored_form_of(const std::string& file_bytes, profile_system system);

// The rules for the texts alone, the same on every system and for every file: no
// control character anywhere and no blank (of any kind) at either end of any of them; a
// section name without brackets; a key that is not empty, holds no "=" and does not
// start with "[", ";", "#" or "//" (it would read back as a header, a comment of the
// profile functions or of the page's own reader, or another key); a value not enclosed
// in quotes (they are dropped on reading).
bool cfg_write_allowed(const std::wstring& section, const std::wstring& key, const std::wstring& value);

// The whole rule, for a file of these bytes (empty for a file that is not there yet) on
// that system.
bool write_allowed(const std::string& file_bytes, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value, profile_system system);

// The rule for the file at `path` as it is now, on the running system. A file that
// exists but cannot be read cannot be judged, so it is not written.
bool write_allowed_to_file(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                           const std::wstring& value);
