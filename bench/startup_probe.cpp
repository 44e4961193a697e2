// Times how long programs take from process start to their first visible top-level
// window, started in turn under identical conditions. Run by tools/bench_startup.
//
//   startup_probe <rounds> <LOCALAPPDATA> <exe> [<exe> ...]
//
// Every round starts each program once, rotating which goes first, so drift on a busy
// machine spreads evenly over them. A start counts from just before CreateProcessW to
// the moment a top-level window of the new process carries WS_VISIBLE; the program is
// then closed with WM_CLOSE and waited for. Prints each start, then per program the
// median and the quartiles, and how it compares with the first program.
// With SCANCFG_PROBE_MARKS set, also prints the performance-counter value at each
// process start ("t0 <exe> <counter>"), so an instrumented program's own marks can be
// laid on the same time line.
#include "tools/environment_block.h"
#include "tools/win_handles.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD window_timeout_ms = 20000;
constexpr DWORD exit_timeout_ms = 10000;
// Rounds started and thrown away first: they fill the file and font caches.
constexpr int warm_up_rounds = 2;
// Quiet time between starts, so one program's exit does not overlap the next start.
constexpr DWORD settle_ms = 150;

double counter_ms(LONGLONG ticks)
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

LONGLONG counter_now()
{
    LARGE_INTEGER value{};
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

HWND visible_window_of(DWORD process_id)
{
    struct search {
        DWORD process_id;
        HWND found;
    } state{process_id, nullptr};
    EnumWindows(
        [](HWND window, LPARAM user) -> BOOL {
            auto* s = reinterpret_cast<search*>(user);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process_id && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&state));
    return state.found;
}

// One start: milliseconds to the first visible window, or a negative value on failure.
double time_one_start(const std::wstring& exe, std::vector<wchar_t> environment, bool print_marks)
{
    std::wstring command_line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const LONGLONG start = counter_now();
    if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    const unique_handle process(info.hProcess);
    const unique_handle thread(info.hThread);

    HWND window = nullptr;
    LONGLONG shown = 0;
    for (;;) {
        window = visible_window_of(info.dwProcessId);
        shown = counter_now();
        if (window || counter_ms(shown - start) > window_timeout_ms ||
            WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    if (print_marks)
        std::printf("t0 %ls %lld\n", exe.c_str(), start);
    if (!window) {
        std::fprintf(stderr, "%ls showed no window\n", exe.c_str());
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, exit_timeout_ms);
        return -1;
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info.hProcess, exit_timeout_ms) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "%ls did not close; ended by force\n", exe.c_str());
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, exit_timeout_ms);
    }
    return counter_ms(shown - start);
}

// The value at fraction `q` of the sorted sample (nearest rank).
double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

std::wstring file_name(const std::wstring& path) { return path.substr(path.find_last_of(L"\\/") + 1); }

} // namespace

int main()
{
    int count = 0;
    const unique_arguments arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    const std::vector<std::wstring> args(arguments.get(), arguments.get() + (arguments ? count : 0));
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: startup_probe <rounds> <LOCALAPPDATA> <exe> [<exe> ...]\n");
        return 2;
    }
    const int rounds = _wtoi(args[1].c_str());
    const std::vector<wchar_t> environment = environment_block::with(L"LOCALAPPDATA", args[2]);
    const std::vector<std::wstring> programs(args.begin() + 3, args.end());
    const bool print_marks = GetEnvironmentVariableW(L"SCANCFG_PROBE_MARKS", nullptr, 0) > 0;

    std::vector<std::vector<double>> times(programs.size());
    for (int round = -warm_up_rounds; round < rounds; ++round) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const std::size_t which = (k + static_cast<std::size_t>(round + warm_up_rounds)) % programs.size();
            const double ms = time_one_start(programs[which], environment, print_marks && round >= 0);
            if (ms < 0)
                return 1;
            if (round >= 0) {
                times[which].push_back(ms);
                std::printf("run %2d  %-20ls %7.1f ms\n", round + 1, file_name(programs[which]).c_str(), ms);
            }
            std::fflush(stdout);
            Sleep(settle_ms);
        }
    }

    // "ratio" divides the medians; "paired" is the median of the ratios within each
    // round, which drift in the machine's load over the run does not skew.
    std::printf("\n%-20s %8s %8s %8s %8s %8s\n", "program", "q1 ms", "median", "q3 ms", "ratio", "paired");
    const double reference = quantile(times[0], 0.5);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> paired;
        for (std::size_t r = 0; r < times[i].size(); ++r)
            paired.push_back(times[i][r] / times[0][r]);
        const double median = quantile(times[i], 0.5);
        std::printf("%-20ls %8.1f %8.1f %8.1f %8.2f %8.2f\n", file_name(programs[i]).c_str(),
                    quantile(times[i], 0.25), median, quantile(times[i], 0.75), median / reference,
                    quantile(paired, 0.5));
    }
    return 0;
}
