// Saving a whole file so that it is never half-written: the new bytes go to a new file in
// the same folder, flushed, which then takes the old file's place in one step.
#pragma once

#include <windows.h>

#include <string>

// Replaces the file at `path` (absolute) with `bytes`, or creates it where there is none;
// the folder must exist. The replaced file keeps its attributes and security. A read-only
// file is refused (ERROR_FILE_READ_ONLY). Returns 0, or the Windows error code of the step
// that failed; the old file is then as it was, and no new file is left behind.
DWORD save_whole_file(const std::wstring& path, const std::string& bytes);
