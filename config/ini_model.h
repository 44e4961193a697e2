// The program's own reader of debug.cfg: sections and key lines as raw bytes of the
// ANSI code page, ordered by unsigned byte comparison.
#pragma once

#include <string>
#include <vector>

struct ini_entry {
    std::string key;   // trimmed, never empty
    std::string value; // trimmed, may be empty
};

struct ini_section {
    std::string name;               // between "[" and the first "]", untrimmed
    std::vector<ini_entry> entries; // ascending by key; equal keys kept
};

class ini_model {
public:
    // Empties the model and parses `bytes`, a whole file's contents in the ANSI code page.
    void parse(const std::string& bytes);

    // Empties the model and parses the file at `path` (ANSI code page). Returns 0, or
    // the C runtime's error number when the file cannot be opened (87 for a null path).
    int load(const char* path);

    // The section named exactly `name`, or null.
    const ini_section* find(const std::string& name) const;

    std::vector<ini_section> sections; // ascending by name, names unique
};
