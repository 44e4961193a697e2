// Reading a file without locking anyone out: the driver and editors may open, write,
// rename or delete debug.cfg while we read it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

class shared_file {
public:
    // Opens for reading with every kind of sharing allowed. The narrow form takes a path
    // in the ANSI code page.
    explicit shared_file(const wchar_t* path);
    explicit shared_file(const char* path);
    ~shared_file();
    shared_file(const shared_file&) = delete;
    shared_file& operator=(const shared_file&) = delete;

    bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
    // The C runtime's error number for a failed open (ENOENT, EACCES, ...); 0 when open.
    int error() const { return error_; }
    // Size in bytes; 0 when unknown.
    std::uint64_t size() const;
    // Up to `capacity` bytes from the current position; 0 at the end or on failure.
    std::size_t read(void* buffer, std::size_t capacity);

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    int error_ = 0;
};

// The whole file's bytes into `bytes`; returns 0 or the error number of the open.
int read_whole_file(const wchar_t* path, std::string& bytes);
int read_whole_file(const char* path, std::string& bytes);
