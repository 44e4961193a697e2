#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

temp_dir::temp_dir()
{
    static unsigned counter = 0;
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    const std::wstring prefix = base + (L"scancfg-test-" + std::to_wstring(GetCurrentProcessId())) + L"-";
    do
        path_ = prefix + std::to_wstring(++counter);
    while (!CreateDirectoryW(path_.c_str(), nullptr));
}

temp_dir::~temp_dir()
{
    std::error_code ignored;
    // A read-only file would stop the removal.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path_, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, ignored);
}

std::wstring temp_dir::file(const std::wstring& relative) const { return path_ + L"\\" + relative; }

scoped_env::scoped_env(const wchar_t* name, const wchar_t* value) : name_(name)
{
    if (const wchar_t* old = _wgetenv(name)) {
        had_value_ = true;
        old_value_ = old;
    }
    // _wputenv_s keeps the narrow and wide C runtime copies and the process block in step.
    _wputenv_s(name, value ? value : L"");
}

scoped_env::~scoped_env() { _wputenv_s(name_.c_str(), had_value_ ? old_value_.c_str() : L""); }

bool make_dirs(const std::wstring& path)
{
    std::error_code ignored;
    fs::create_directories(path, ignored);
    return fs::is_directory(path, ignored);
}

std::string read_file_bytes(const std::wstring& path, bool* exists)
{
    std::ifstream file(fs::path(path), std::ios::binary);
    if (exists)
        *exists = file.is_open();
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool write_file_bytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream file(fs::path(path), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

bool file_exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring code_page_to_wide(const std::string& text, unsigned code_page)
{
    const int size = static_cast<int>(text.size());
    std::wstring result(static_cast<size_t>(MultiByteToWideChar(code_page, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(code_page, 0, text.data(), size, result.data(), static_cast<int>(result.size()));
    return result;
}

std::wstring utf8_to_wide(const std::string& text) { return code_page_to_wide(text, CP_UTF8); }

std::string wide_to_code_page(const std::wstring& text, unsigned code_page)
{
    const int size = static_cast<int>(text.size());
    std::string result(
        static_cast<size_t>(WideCharToMultiByte(code_page, 0, text.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), size, result.data(), static_cast<int>(result.size()), nullptr,
                        nullptr);
    return result;
}

bool runs_under(unsigned code_page) { return code_page == 0 || code_page == GetACP(); }

std::wstring profile_string(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                            const wchar_t* fallback)
{
    static std::vector<wchar_t> value(1 << 16);
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback, value.data(),
                                                  static_cast<DWORD>(value.size()), path.c_str());
    return std::wstring(value.data(), length);
}

std::wstring with_crlf(const std::wstring& text)
{
    std::wstring result;
    for (std::size_t i = 0; i < text.size(); ++i)
        result += text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r') ? L"\r\n" : std::wstring(1, text[i]);
    return result;
}

std::string utf16_bytes(const std::wstring& text, utf16 order, bom mark)
{
    std::string bytes;
    for (const wchar_t c : mark == bom::with ? L"\xFEFF" + text : text) {
        const char low = static_cast<char>(c & 0xFF), high = static_cast<char>((c >> 8) & 0xFF);
        bytes += order == utf16::le ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::wstring fixture_path(const std::string& file_name) { return utf8_to_wide(SCANCFG_FIXTURES_DIR "/" + file_name); }

std::string fixture_bytes(const std::string& file_name)
{
    bool exists = false;
    std::string bytes = read_file_bytes(fixture_path(file_name), &exists);
    if (!exists)
        ADD_FAILURE() << "no fixture " << file_name << " in " << SCANCFG_FIXTURES_DIR;
    return bytes;
}

std::vector<std::string> fixture_names()
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(fixture_path(""), ignored))
        if (entry.path().extension() == ".cfg")
            names.push_back(entry.path().stem().u8string());
    std::sort(names.begin(), names.end());
    return names;
}
