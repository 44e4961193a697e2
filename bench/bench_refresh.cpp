// How long the configuration page takes to show debug.cfg again after another program
// changed one read_eof entry of a file with many of them, against a floor that any such
// reload must pay: the eleven profile reads, one raw read of the file, and setting the
// same two long texts into bare edit boxes of the same styles. Run by hand (see README).
#include "bench/bench_support.h"
#include "config/cfg_keys.h"
#include "config/cfg_settings.h"
#include "config/content_text.h"
#include "config/read_eof.h"
#include "config/read_eof_text.h"
#include "resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace bench;

void profile_reads(const std::wstring& path)
{
    const wchar_t* file = path.c_str();
    wchar_t text[256];
    GetPrivateProfileStringW(cfg::section_log, cfg::key_log_type, L"file", text, 255, file);
    GetPrivateProfileStringW(cfg::section_log, cfg::key_log_level, L"all", text, 255, file);
    GetPrivateProfileStringW(cfg::section_log, cfg::key_log_path, L"", text, 255, file);
    GetPrivateProfileIntW(cfg::section_log, cfg::key_twain_level, 1, file);
    GetPrivateProfileIntW(cfg::section_twain_app, cfg::key_log_all_triple, 0, file);
    GetPrivateProfileIntW(cfg::section_twain_app, cfg::key_notify_close, 0, file);
    GetPrivateProfileStringW(cfg::section_paths, cfg::key_final_img, L"", text, 255, file);
    GetPrivateProfileIntW(cfg::section_dump, cfg::key_dump_usb, 0, file);
    GetPrivateProfileStringW(cfg::section_dump, cfg::key_usb_path, L"", text, 255, file);
    GetPrivateProfileIntW(cfg::section_mem, cfg::key_max_img, 1000, file);
    GetPrivateProfileIntW(cfg::section_cpu, cfg::key_cpu_advanced, 1, file);
}

} // namespace

int main()
{
    const cfg_folder folder;
    const std::wstring path = folder.cfg_path();
    const DWORD box_style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL;
    const int runs = 9;
    std::printf("times in ms, best of %d rounds, each after another program turned one read_eof entry over;\n"
                "filling = reload - reading, of which boxes = the two long texts\n", runs);
    std::printf("entries   bytes     reload    reading    filling      boxes      floor   ratio\n");
    for (int entries : {500, 1000, 2000, 5000}) {
        changing_cfg cfg(path, entries);
        // The two texts the page shows for each state of the file.
        std::wstring content[2], list_text[2];
        for (int turn = 0; turn < 2; ++turn, cfg.change()) {
            std::vector<read_eof_item> items;
            read_eof_list(path, items);
            content[cfg.state()] = content_box_text(read_bytes(path));
            list_text[cfg.state()] = read_eof_text(items);
        }
        page_window shown;
        const HWND page = shown.page.hwnd;

        // The floor's boxes: bare ones with the page's font (measuring text costs
        // differently per font).
        const window_ptr host = host_window();
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const window_ptr content_box(
            CreateWindowExW(0, L"EDIT", L"", box_style, 0, 0, 380, 110, host.get(), nullptr, instance, nullptr));
        const window_ptr list_box(
            CreateWindowExW(0, L"EDIT", L"", box_style, 0, 120, 160, 90, host.get(), nullptr, instance, nullptr));
        const auto font = static_cast<WPARAM>(SendMessageW(page, WM_GETFONT, 0, 0));
        SendMessageW(content_box.get(), WM_SETFONT, font, FALSE);
        SendMessageW(list_box.get(), WM_SETFONT, font, FALSE);

        const std::vector<double> ms = best_ms_in_turns(runs, [&] { cfg.change(); }, {
            [&] { shown.page.refresh_controls(); },
            // The window-free part of a reload: everything read from the file.
            [&] {
                cfg_settings settings;
                load_cfg_keys(path, settings);
                read_eof_list(path, settings.read_eof);
                const std::wstring raw = content_box_text(read_bytes(path));
                const std::wstring text = read_eof_text(settings.read_eof);
            },
            // The new texts into the page's own boxes.
            [&] {
                SetDlgItemTextW(page, IDC_CFG_CONTENT, content[cfg.state()].c_str());
                SetDlgItemTextW(page, IDC_READ_EOF_TEXT, list_text[cfg.state()].c_str());
            },
            // The floor: the reads, and the new texts into the bare boxes; nothing parsed or converted.
            [&] {
                profile_reads(path);
                const std::string raw = read_bytes(path);
                SetWindowTextW(content_box.get(), content[cfg.state()].c_str());
                SetWindowTextW(list_box.get(), list_text[cfg.state()].c_str());
            },
        });
        cfg.change();
        shown.page.refresh_controls();
        if (!page_shows_file(shown.page, path)) {
            std::printf("the page did not show the changed file\n");
            return 1;
        }
        std::printf("%7d %7zu %10.2f %10.2f %10.2f %10.2f %10.2f %7.2f\n", entries, cfg.bytes().size(), ms[0], ms[1],
                    ms[0] - ms[1], ms[2], ms[3], ms[0] / ms[3]);
        std::fflush(stdout);
    }
    return 0;
}
