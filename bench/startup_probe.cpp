// Times programs from process start to their first visible top-level window, started in
// turn under identical conditions (tools/bench_startup runs it):
//   startup_probe <rounds> <LOCALAPPDATA> <exe> [<exe> ...]
// Beside them it times itself started as "bare": scancfg's three dialog templates from the
// same resources, in the same order, without scancfg's code, the floor of its start-up.
// Each round starts every program once, rotating which goes first, so drift on a busy
// machine spreads evenly; a start ends when a window of the new process carries
// WS_VISIBLE, then the program gets WM_CLOSE. Prints each start, then per program the
// quartiles and the ratios to the first program and to the bare templates.
#include "resources/resource.h"
#include "tools/harness/handles.h"
#include "tools/harness/process.h"
#include "tools/harness/windows_of.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace harness;

constexpr DWORD start_timeout_ms = 20000;
// Rounds started and thrown away first: they fill the file and font caches.
constexpr int warm_up_rounds = 2;
// Quiet time between starts, so one program's exit does not overlap the next start.
constexpr DWORD settle_ms = 150;

// ---- the bare templates ----

INT_PTR CALLBACK page_proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INT_PTR CALLBACK main_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        HWND error_page = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ERR_MSG), window, page_proc, 0);
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ADV_CFG), window, page_proc, 0);
        ShowWindow(error_page, SW_SHOW);
        return 1;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL))
        PostQuitMessage(0);
    return message == WM_COMMAND;
}

int show_bare_templates()
{
    const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, main_proc, 0);
    ShowWindow(window, SW_SHOW);
    for (MSG message{}; window && GetMessageW(&message, nullptr, 0, 0) > 0;)
        DispatchMessageW(&message);
    return window ? 0 : 1;
}

// ---- the probe ----

struct program {
    std::wstring exe;
    std::wstring arguments;
    std::wstring name;
    std::vector<double> ms;
};

// One start: milliseconds to the first visible window, or a negative value on failure.
double time_one_start(const program& p, const std::vector<wchar_t>& environment)
{
    const auto start = std::chrono::steady_clock::now();
    const child_process process(p.exe, environment, p.arguments);
    if (!process.started()) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", p.exe.c_str(), process.error());
        return -1;
    }
    HWND window = nullptr;
    wait_until([&] { return (window = visible_window(process.id())) != nullptr || !process.running(); },
               start_timeout_ms, 1);
    const auto shown = std::chrono::steady_clock::now();
    if (!window) {
        std::fprintf(stderr, "%ls showed no window\n", p.name.c_str());
        return -1;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process.wait_for_exit(exit_timeout_ms) == STILL_ACTIVE)
        std::fprintf(stderr, "%ls did not close; ended by force\n", p.name.c_str());
    return std::chrono::duration<double, std::milli>(shown - start).count();
}

// The value at fraction `q` of the sorted sample (nearest rank).
double quantile(std::vector<double> values, double q)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

// The ratio of the medians, and the median of the ratios within each round, which drift
// in the machine's load over the run does not skew.
void print_ratios(const program& p, const program& reference)
{
    std::vector<double> paired;
    for (std::size_t r = 0; r < p.ms.size(); ++r)
        paired.push_back(p.ms[r] / reference.ms[r]);
    std::printf(" %8.2f %8.2f", quantile(p.ms, 0.5) / quantile(reference.ms, 0.5), quantile(paired, 0.5));
}

int probe(const std::vector<std::wstring>& args)
{
    const int rounds = _wtoi(args[1].c_str());
    const std::vector<wchar_t> environment = environment_with(L"LOCALAPPDATA", args[2]);
    std::vector<program> programs;
    for (auto exe = args.begin() + 3; exe != args.end(); ++exe)
        programs.push_back({*exe, L"", exe->substr(exe->find_last_of(L"\\/") + 1), {}});
    programs.push_back({this_program(), L"bare", L"bare templates", {}});

    for (int round = -warm_up_rounds; round < rounds; ++round) {
        for (std::size_t k = 0; k < programs.size(); ++k) {
            program& p = programs[(k + static_cast<std::size_t>(round + warm_up_rounds)) % programs.size()];
            const double ms = time_one_start(p, environment);
            if (ms < 0)
                return 1;
            if (round >= 0) {
                p.ms.push_back(ms);
                std::printf("run %2d  %-20ls %7.1f ms\n", round + 1, p.name.c_str(), ms);
                std::fflush(stdout);
            }
            Sleep(settle_ms);
        }
    }

    std::printf("\n%-20s %8s %8s %8s %8s %8s %8s %8s\n", "program", "q1 ms", "median", "q3 ms", "/ first", "paired",
                "/ bare", "paired");
    for (const program& p : programs) {
        std::printf("%-20ls %8.1f %8.1f %8.1f", p.name.c_str(), quantile(p.ms, 0.25), quantile(p.ms, 0.5),
                    quantile(p.ms, 0.75));
        print_ratios(p, programs.front());
        print_ratios(p, programs.back());
        std::printf("\n");
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::wstring> args = command_line_arguments();
    if (args.size() == 2 && args[1] == L"bare")
        return show_bare_templates();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: startup_probe <rounds> <LOCALAPPDATA> <exe> [<exe> ...]\n");
        return 2;
    }
    return probe(args);
}
