// What leaving the process-list box (1019) costs, against a reload of the page after
// another program changed the same file: with N unchanged entries the focus passing
// through (the box not edited), the box edited back to what it showed, and N new names
// pasted. Run by hand.
#include "bench/bench_support.h"
#include "resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using namespace bench;

void leave_box(HWND page, bool edited)
{
    HWND box = GetDlgItem(page, IDC_READ_EOF_TEXT);
    SendMessageW(box, EM_SETMODIFY, edited ? TRUE : FALSE, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_READ_EOF_TEXT, EN_KILLFOCUS), reinterpret_cast<LPARAM>(box));
}

} // namespace

int main()
{
    const cfg_folder folder;
    const std::wstring path = folder.cfg_path();
    const int runs = 7;
    std::printf("times in ms, best of %d\n", runs);
    std::printf("reload: after another program turned one read_eof entry over\n");
    std::printf("entries    reload   untouched  ratio   edited-back  ratio\n");
    for (int entries : {500, 1000, 2000, 5000}) {
        changing_cfg cfg(path, entries);
        page_window shown;
        const HWND page = shown.page.hwnd;
        const double reload = best_ms(runs, [&] { cfg.change(); }, [&] { shown.page.refresh_controls(); });
        const double untouched = best_ms(runs, [&] { leave_box(page, false); });
        const double edited_back = best_ms(runs, [&] { leave_box(page, true); });
        std::printf("%7d %9.2f %11.3f %6.3f %12.2f %6.2f\n", entries, reload, untouched, untouched / reload,
                    edited_back, edited_back / reload);
        std::fflush(stdout);
    }

    std::printf("\npasting N new names into an empty list, then leaving the box (one run each)\n");
    std::printf("names   time (ms)  per name (ms)\n");
    for (int names : {500, 1000, 2000, 5000}) {
        write_bytes(path, sample_cfg(0));
        page_window shown;
        std::wstring pasted = shown.page.get_item_text(IDC_READ_EOF_TEXT);
        wchar_t line[64];
        for (int i = 0; i < names; ++i) {
            std::swprintf(line, 64, L"new_app_%05d.exe=1\r\n", (i * 7919) % names);
            pasted += line;
        }
        SetDlgItemTextW(shown.page.hwnd, IDC_READ_EOF_TEXT, pasted.c_str());
        const double took = best_ms(1, [&] { leave_box(shown.page.hwnd, true); });
        std::printf("%5d %11.1f %14.3f\n", names, took, took / names);
        std::fflush(stdout);
    }
    return 0;
}
