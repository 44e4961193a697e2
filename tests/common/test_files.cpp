#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

struct find_closer {
    void operator()(HANDLE find) const { FindClose(find); }
};
using find_handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, find_closer>;

// A search of `pattern`, or null when nothing matches.
find_handle find_first(const std::wstring& pattern, WIN32_FIND_DATAW& data)
{
    const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    return find_handle(find == INVALID_HANDLE_VALUE ? nullptr : find);
}

void remove_tree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    if (const find_handle find = find_first(folder + L"\\*", data)) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

temp_dir::temp_dir()
{
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        wchar_t name[64];
        swprintf(name, 64, L"scancfg-test-%lu-%u", GetCurrentProcessId(), ++counter);
        path_ = std::wstring(base) + name;
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

temp_dir::~temp_dir() { remove_tree(path_); }

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
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 2)
        make_dirs(path.substr(0, cut));
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

std::string read_file_bytes(const std::wstring& path, bool* exists)
{
    std::string bytes;
    FILE* file = nullptr;
    const bool opened = _wfopen_s(&file, path.c_str(), L"rb") == 0 && file;
    if (exists)
        *exists = opened;
    if (!opened)
        return bytes;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    fclose(file);
    return bytes;
}

bool write_file_bytes(const std::wstring& path, const std::string& bytes)
{
    FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"wb") != 0 || !file)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

bool file_exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring utf8_to_wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
    return result;
}

std::string wide_to_code_page(const std::wstring& text, unsigned code_page)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr,
                        nullptr);
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

std::wstring fixture_path(const std::string& file_name)
{
    return utf8_to_wide(SCANCFG_FIXTURES_DIR "/" + file_name);
}

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
    WIN32_FIND_DATAW data;
    const find_handle find = find_first(fixture_path("*.cfg"), data);
    if (!find)
        return names;
    do {
        const std::string name = wide_to_code_page(data.cFileName, CP_UTF8);
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".cfg") == 0)
            names.push_back(name.substr(0, name.size() - 4));
    } while (FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}
