// Owners for what the harness holds: kernel handles, and this program's command line split
// into arguments.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace harness {

struct handle_closer {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using unique_handle = std::unique_ptr<void, handle_closer>;

// argv of this program, as Unicode: a console main() gets it only in the ANSI code page.
inline std::vector<std::wstring> command_line_arguments()
{
    struct local_freer {
        void operator()(wchar_t** memory) const { LocalFree(memory); }
    };
    int count = 0;
    const std::unique_ptr<wchar_t*, local_freer> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    return std::vector<std::wstring>(arguments.get(), arguments.get() + (arguments ? count : 0));
}

} // namespace harness
