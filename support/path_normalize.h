// Pure text operations on Windows paths; nothing here touches the file system.
#pragma once

#include <cstddef>
#include <string>

// Tidies the NUL-terminated path in `buffer` in place: "/" to "\", runs of "\" to
// one, "\.\" to "\", then "folder\..\" collapsed. `capacity` counts wide characters
// with the terminator; 0 means the present length plus one. Never lengthens the text,
// and nothing at or beyond `capacity` is read or written.
void normalize_path(wchar_t* buffer, std::size_t capacity);

// Replaces `path` by its normalised parent folder (never ending in "\").
void parent_folder(std::wstring& path);

// The normalised form of a path put together from pieces. Paths of any length are
// handled whole.
std::wstring tidy_composed_path(const std::wstring& path);
