// What "写入" costs for a long debug.cfg with one line changed in the content box, against
// a reload of the page after another program changed one line of the same file. Run by hand.
#include "bench/bench_support.h"
#include "resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using namespace bench;

void click_write(HWND page)
{
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_WRITE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_WRITE)));
}

} // namespace

int main()
{
    const cfg_folder folder;
    const std::wstring path = folder.cfg_path();
    const int runs = 5;
    std::printf("times in ms, best of %d\n", runs);
    std::printf("lines      bytes     reload      write   ratio\n");
    for (int entries : {10000, 100000}) {
        changing_cfg cfg(path, entries);
        page_window shown;
        const HWND page = shown.page.hwnd;
        const HWND box = GetDlgItem(page, IDC_CFG_CONTENT);
        const double reload = best_ms(runs, [&] { cfg.change(); }, [&] { shown.page.refresh_controls(); });

        // The box as the user leaves it: one line in the middle changed.
        write_bytes(path, cfg.bytes());
        shown.page.refresh_controls();
        std::wstring edited = shown.page.get_item_text(IDC_CFG_CONTENT);
        const std::size_t middle = edited.find(L"=", edited.size() / 2);
        edited[middle + 1] = edited[middle + 1] == L'1' ? L'0' : L'1';
        const double write = best_ms(
            runs,
            [&] {
                write_bytes(path, cfg.bytes());
                shown.page.refresh_controls();
                SetWindowTextW(box, edited.c_str());
                SendMessageW(box, EM_SETMODIFY, TRUE, 0);
            },
            [&] { click_write(page); });
        if (shown.page.get_item_text(IDC_CFG_CONTENT) != edited || read_bytes(path) == cfg.bytes()) {
            std::printf("the write did not happen\n");
            return 1;
        }
        std::printf("%6d %10zu %10.1f %10.1f %7.2f\n", entries + 18, cfg.bytes().size(), reload, write,
                    write / reload);
        std::fflush(stdout);
    }
    return 0;
}
