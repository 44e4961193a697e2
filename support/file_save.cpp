#include "support/file_save.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kept_attributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

class owned_handle {
public:
    explicit owned_handle(HANDLE handle) : handle_(handle) {}
    ~owned_handle() { close(); }
    owned_handle(const owned_handle&) = delete;
    owned_handle& operator=(const owned_handle&) = delete;

    HANDLE get() const { return handle_; }
    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
    // False when the system reports that closing failed (a write it had deferred).
    bool close()
    {
        const bool closed = !is_open() || CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

// The new file, deleted again unless it took the old one's place.
class temporary_file {
public:
    explicit temporary_file(std::wstring path) : path_(std::move(path)) {}
    ~temporary_file()
    {
        if (!path_.empty())
            DeleteFileW(path_.c_str());
    }
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;

    const std::wstring& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::wstring path_;
};

DWORD write_all(HANDLE file, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, wanted, &written, nullptr))
            return GetLastError();
        done += written;
    }
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

std::wstring folder_of(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

} // namespace

DWORD save_whole_file(const std::wstring& path, const std::string& bytes)
{
    const DWORD old_attributes = GetFileAttributesW(path.c_str());
    const bool exists = old_attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return GetLastError();
    if (exists && (old_attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_FILE_READ_ONLY;
    if (exists && (old_attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_ACCESS_DENIED;

    if (exists) {
        // A program holding the file without delete sharing stops the replacement: found
        // out first, so that nothing is made that needs cleaning up (Wine's ReplaceFileW
        // leaves a file of its own behind then).
        const owned_handle old_file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
        if (!old_file.is_open())
            return GetLastError();
    }

    // Created empty under a name of its own in the same folder, so that it can take the
    // old file's place on the same volume.
    std::vector<wchar_t> name(MAX_PATH + 1, L'\0');
    if (GetTempFileNameW(folder_of(path).c_str(), L"cfg", 0, name.data()) == 0)
        return GetLastError();
    temporary_file replacement(name.data());
    {
        owned_handle file(CreateFileW(replacement.path().c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.is_open())
            return GetLastError();
        if (const DWORD error = write_all(file.get(), bytes))
            return error;
        if (!file.close())
            return GetLastError();
    }

    if (!exists) {
        // Never over a file that another program created meanwhile.
        if (!MoveFileExW(replacement.path().c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return GetLastError();
        replacement.keep();
        return 0;
    }
    if (!ReplaceFileW(path.c_str(), replacement.path().c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                      nullptr)) {
        const DWORD error = GetLastError();
        // Windows may have removed the old file before failing to rename the new one into
        // its place: the new file is then the only copy, and must take that place or stay.
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            if (MoveFileExW(replacement.path().c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
                replacement.keep();
                return 0;
            }
            replacement.keep();
        }
        return error;
    }
    replacement.keep();
    // Windows carries the attributes over; Wine drops hidden and system.
    const DWORD new_attributes = GetFileAttributesW(path.c_str());
    if (new_attributes != INVALID_FILE_ATTRIBUTES && (new_attributes & kept_attributes) != (old_attributes & kept_attributes))
        SetFileAttributesW(path.c_str(), (new_attributes & ~kept_attributes) | (old_attributes & kept_attributes));
    return 0;
}
