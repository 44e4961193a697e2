// How long one complete refresh of the configuration page takes on a debug.cfg with
// many read_eof entries, against a floor that any refresh must pay: the eleven
// profile reads, one raw read of the file, and setting the same two long texts into
// bare edit boxes of the same styles. Run by hand (see README).
#include "bench/bench_support.h"
#include "config/cfg_keys.h"
#include "config/cfg_settings.h"
#include "config/file_text.h"
#include "config/read_eof.h"
#include "config/read_eof_text.h"
#include "dialogs/dlg_adv_cfg.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace bench;

std::string sample_file(int entries)
{
    std::string text = "[log]\r\ntype=file\r\nlevel=debug\r\npath=D:\\log\\scan.log\r\ntwain-level=2\r\n"
                       "[twain-app]\r\nlog-all-triple=1\r\nnotify-close=1\r\n[paths]\r\nfinal_img=D:\\img\\\r\n"
                       "[dump]\r\ndumpusb=1\r\nusb_path=D:\\usb\\\r\n[mem]\r\nmax_img=2000\r\n[cpu]\r\nadvanced=1\r\n"
                       "[read_eof]\r\n";
    char line[64];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(line, sizeof line, "scanner_app_%05d.exe=%d\r\n", (i * 7919) % entries, i % 3 == 0);
        text += line;
    }
    return text;
}

std::string read_bytes(const std::wstring& path)
{
    std::string bytes;
    FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"rb") != 0 || !file)
        return bytes;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

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
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    const bench::cfg_folder cfg_folder;
    const std::wstring path = cfg_folder.cfg_path();

    const DWORD box_style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL;
    const int runs = 9;
    std::printf("times in ms, best of %d; filling = refresh - reading, of which boxes = the two long texts\n", runs);
    std::printf("entries   bytes    refresh    reading    filling      boxes      floor   ratio\n");
    for (int entries : {500, 1000, 2000, 5000}) {
        write_bytes(path, sample_file(entries));
        const auto bytes = read_bytes(path).size();

        window_ptr parent(CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                          nullptr, instance, nullptr));
        dlg_adv_cfg page(parent.get());
        page.create(instance);
        const double refresh = best_ms(runs, [&] { page.refresh_controls(); });

        // The window-free part of a refresh: everything read from the file.
        const double reading = best_ms(runs, [&] {
            cfg_settings settings;
            load_cfg_keys(path, settings);
            read_eof_list(path, settings.read_eof);
            const std::wstring content = read_cfg_raw_text(path);
            const std::wstring list_text = read_eof_text(settings.read_eof);
        });

        // The floor: reads and the two texts, nothing parsed or converted.
        const std::wstring content = read_cfg_raw_text(path);
        std::vector<read_eof_item> items;
        read_eof_list(path, items);
        const std::wstring list_text = read_eof_text(items);

        // The same two texts into the page's own boxes.
        const double boxes = best_ms(runs, [&] {
            SetDlgItemTextW(page.hwnd, IDC_CFG_CONTENT, content.c_str());
            SetDlgItemTextW(page.hwnd, IDC_READ_EOF_TEXT, list_text.c_str());
        });
        window_ptr host(CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                        nullptr, instance, nullptr));
        window_ptr content_box(CreateWindowExW(0, L"EDIT", L"", box_style, 0, 0, 380, 110, host.get(), nullptr,
                                               instance, nullptr));
        window_ptr list_box(CreateWindowExW(0, L"EDIT", L"", box_style, 0, 120, 160, 90, host.get(), nullptr,
                                            instance, nullptr));
        // The same font as the page's boxes: measuring text costs differently per font.
        const auto font = static_cast<WPARAM>(SendMessageW(page.hwnd, WM_GETFONT, 0, 0));
        SendMessageW(content_box.get(), WM_SETFONT, font, FALSE);
        SendMessageW(list_box.get(), WM_SETFONT, font, FALSE);
        const double floor = best_ms(runs, [&] {
            profile_reads(path);
            const std::string raw = read_bytes(path);
            SetWindowTextW(content_box.get(), content.c_str());
            SetWindowTextW(list_box.get(), list_text.c_str());
        });

        std::printf("%7d %7zu %10.2f %10.2f %10.2f %10.2f %10.2f %7.2f\n", entries, static_cast<std::size_t>(bytes),
                    refresh, reading, refresh - reading, boxes, floor, refresh / floor);
        std::fflush(stdout);
    }

    return 0;
}
