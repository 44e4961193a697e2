// Helpers for tests that work on real files: a fresh temporary folder per test,
// LOCALAPPDATA pointed at it, and byte-exact file reading and writing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A new, empty folder under the system's temporary folder; removed with
// everything in it when the object goes.
class temp_dir {
public:
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + relative
    std::wstring file(const std::wstring& relative) const;

private:
    std::wstring path_;
};

// A fresh folder, and the path of a debug.cfg in it that no test has written yet.
class temp_cfg_test : public testing::Test {
protected:
    temp_dir dir;
    std::wstring path = dir.file(L"debug.cfg");
};

// Sets an environment variable (process and C runtime copies) for the object's
// lifetime; a null or empty value unsets it. The previous value comes back on destruction.
class scoped_env {
public:
    scoped_env(const wchar_t* name, const wchar_t* value);
    ~scoped_env();
    scoped_env(const scoped_env&) = delete;
    scoped_env& operator=(const scoped_env&) = delete;

private:
    std::wstring name_;
    std::wstring old_value_;
    bool had_value_ = false;
};

// Creates every missing folder of `path` (a folder path).
bool make_dirs(const std::wstring& path);

// The whole file as bytes; `exists` tells whether it could be opened.
std::string read_file_bytes(const std::wstring& path, bool* exists = nullptr);
bool write_file_bytes(const std::wstring& path, const std::string& bytes);
bool file_exists(const std::wstring& path);

// UTF-8 (as written in test sources) to UTF-16; UTF-16 to a code page such as the ANSI one, and back.
std::wstring utf8_to_wide(const std::string& text);
std::string wide_to_code_page(const std::wstring& text, unsigned code_page);
std::wstring code_page_to_wide(const std::string& text, unsigned code_page);
// Whether a case that needs ANSI code page `code_page` (0: any) runs under this one.
bool runs_under(unsigned code_page);

// What the profile functions read for `key` in `section` of the file, or `fallback`.
std::wstring profile_string(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                            const wchar_t* fallback = L"<absent>");

// `text` with every LF not after a CR made CR LF: how the content box shows a line break.
std::wstring with_crlf(const std::wstring& text);

// `text` as the bytes of a UTF-16 file in either byte order, after its byte-order mark
// unless told otherwise.
enum class utf16 { le, be };
enum class bom { with, without };
std::string utf16_bytes(const std::wstring& text, utf16 order, bom mark = bom::with);

// The golden files in tests/fixtures: NAME.cfg holds a debug.cfg as users, editors and
// the driver leave it, NAME.expected what the reader makes of it ("[section]" and then
// "key=value" lines, LF only). A missing file fails the running test.
std::wstring fixture_path(const std::string& file_name);
std::string fixture_bytes(const std::string& file_name);
// Every NAME of a NAME.cfg, in byte order.
std::vector<std::string> fixture_names();
