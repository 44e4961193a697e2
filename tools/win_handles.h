// Owners for the handles the by-hand tools hold: kernel handles, and the argument array
// CommandLineToArgvW allocates.
#pragma once

#include <windows.h>

#include <memory>

struct handle_closer {
    void operator()(HANDLE handle) const
    {
        if (handle)
            CloseHandle(handle);
    }
};
using unique_handle = std::unique_ptr<void, handle_closer>;

struct local_freer {
    void operator()(wchar_t** memory) const { LocalFree(memory); }
};
using unique_arguments = std::unique_ptr<wchar_t*, local_freer>;
