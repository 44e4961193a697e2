#include "support/shared_file.h"

#include <cerrno>
#include <tuple>
#include <utility>

namespace {

constexpr DWORD share_everything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The C runtime's numbers for what an open can fail with, as its own open reports them.
int error_number(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EINVAL;
    }
}

HANDLE open_shared(const wchar_t* path)
{
    return CreateFileW(path, GENERIC_READ, share_everything, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE open_shared(const char* path)
{
    return CreateFileA(path, GENERIC_READ, share_everything, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The handle of the open and its error number: EINVAL for a null path.
template <typename char_type>
std::pair<HANDLE, int> opened(const char_type* path)
{
    if (path == nullptr)
        return {INVALID_HANDLE_VALUE, EINVAL};
    const HANDLE handle = open_shared(path);
    return {handle, handle == INVALID_HANDLE_VALUE ? error_number(GetLastError()) : 0};
}

template <typename char_type>
int read_all(const char_type* path, std::string& bytes)
{
    bytes.clear();
    shared_file file(path);
    if (!file.is_open())
        return file.error();
    char chunk[64 * 1024];
    while (const std::size_t count = file.read(chunk, sizeof chunk))
        bytes.append(chunk, count);
    return 0;
}

} // namespace

shared_file::shared_file(const wchar_t* path) { std::tie(handle_, error_) = opened(path); }

shared_file::shared_file(const char* path) { std::tie(handle_, error_) = opened(path); }

shared_file::~shared_file()
{
    if (is_open())
        CloseHandle(handle_);
}

std::uint64_t shared_file::size() const
{
    LARGE_INTEGER size{};
    return GetFileSizeEx(handle_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

std::size_t shared_file::read(void* buffer, std::size_t capacity)
{
    // A closed file or a missing buffer fails the read: nothing is read.
    const DWORD wanted = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
    DWORD count = 0;
    if (!ReadFile(handle_, buffer, wanted, &count, nullptr))
        return 0;
    return count;
}

int read_whole_file(const wchar_t* path, std::string& bytes) { return read_all(path, bytes); }

int read_whole_file(const char* path, std::string& bytes) { return read_all(path, bytes); }
