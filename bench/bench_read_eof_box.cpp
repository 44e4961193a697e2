// What leaving the process-list box (1019) costs, against one refresh of the page on
// the same file: with N unchanged entries the focus passing through (the box not
// edited), the box edited back to what it showed, and N new names pasted. Run by hand.
#include "bench/bench_support.h"
#include "dialogs/dlg_adv_cfg.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using namespace bench;

std::string sample_file(int entries)
{
    std::string text = "[log]\r\ntype=file\r\nlevel=debug\r\n[mem]\r\nmax_img=2000\r\n[read_eof]\r\n";
    char line[64];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof line, "scanner_app_%05d.exe=%d\r\n", (i * 7919) % entries, i % 3 == 0);
        text += line;
    }
    return text + "[cpu]\r\nadvanced=1\r\n";
}

std::wstring box_text(HWND page)
{
    HWND box = GetDlgItem(page, IDC_READ_EOF_TEXT);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, &text[0], static_cast<int>(text.size()))));
    return text;
}

void leave_box(HWND page, bool edited)
{
    HWND box = GetDlgItem(page, IDC_READ_EOF_TEXT);
    SendMessageW(box, EM_SETMODIFY, edited ? TRUE : FALSE, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_READ_EOF_TEXT, EN_KILLFOCUS), reinterpret_cast<LPARAM>(box));
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    const bench::cfg_folder cfg_folder;
    const std::wstring path = cfg_folder.cfg_path();

    const int runs = 7;
    std::printf("times in ms, best of %d\n", runs);
    std::printf("refresh: after another program changed one key (every text of the page set again)\n");
    std::printf("entries   refresh   untouched  ratio   edited-back  ratio\n");
    for (int entries : {500, 1000, 2000, 5000}) {
        const std::string file = sample_file(entries);
        write_bytes(path, file);
        window_ptr parent(CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                          nullptr, instance, nullptr));
        dlg_adv_cfg page(parent.get());
        page.create(instance);
        // A refresh after a change: one key differs, so the boxes take their texts again.
        int flip = 0;
        const double refresh = best_ms(
            runs,
            [&] {
                WritePrivateProfileStringW(L"mem", L"max_img", ++flip % 2 ? L"1" : L"2", path.c_str());
                SetDlgItemTextW(page.hwnd, IDC_READ_EOF_TEXT, L"");
                SetDlgItemTextW(page.hwnd, IDC_CFG_CONTENT, L"");
            },
            [&] { page.refresh_controls(); });
        const double untouched = best_ms(runs, [] {}, [&] { leave_box(page.hwnd, false); });
        const double edited_back = best_ms(runs, [] {}, [&] { leave_box(page.hwnd, true); });
        std::printf("%7d %9.2f %11.3f %6.3f %12.2f %6.2f\n", entries, refresh, untouched, untouched / refresh,
                    edited_back, edited_back / refresh);
        std::fflush(stdout);
    }

    std::printf("\npasting N new names into an empty list, then leaving the box (one run each)\n");
    std::printf("names   time (ms)  per name (ms)\n");
    for (int names : {500, 1000, 2000, 5000}) {
        write_bytes(path, sample_file(0));
        window_ptr parent(CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                          nullptr, instance, nullptr));
        dlg_adv_cfg page(parent.get());
        page.create(instance);
        std::wstring pasted = box_text(page.hwnd);
        wchar_t line[64];
        for (int i = 0; i < names; ++i) {
            std::swprintf(line, 64, L"new_app_%05d.exe=1\r\n", (i * 7919) % names);
            pasted += line;
        }
        SetDlgItemTextW(page.hwnd, IDC_READ_EOF_TEXT, pasted.c_str());
        const auto start = clock_type::now();
        leave_box(page.hwnd, true);
        const double took = ms_since(start);
        std::printf("%5d %11.1f %14.3f\n", names, took, took / names);
        std::fflush(stdout);
    }

    return 0;
}
