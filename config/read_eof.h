// The "read_eof" section of debug.cfg as the process list the page shows.
#pragma once

#include <string>
#include <vector>

struct read_eof_item {
    bool enabled = false; // the file's value is exactly "1"
    std::wstring name;    // the key, from the ANSI code page
};

// Replaces `list` by the entries of section "read_eof" of the file at `cfg_path`, in
// key order; empty when the file or the section is missing.
void read_eof_list(const std::wstring& cfg_path, std::vector<read_eof_item>& list);
