// What the benchmarks share: timing, a private LOCALAPPDATA holding debug.cfg, the file's
// bytes, and the configuration page in a window of its own, reloaded after another
// program changed the file.
#pragma once

#include "config/read_eof.h"
#include "config/read_eof_text.h"
#include "dialogs/dlg_adv_cfg.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bench {

// Several works timed in turns, `runs` rounds of one run each, every round prepared by
// `before` outside the timing: the best time of each, in milliseconds, the least disturbed
// run on a shared machine. Taking turns, they share whatever load it carries meanwhile.
inline std::vector<double> best_ms_in_turns(int runs, const std::function<void()>& before,
                                            const std::vector<std::function<void()>>& works)
{
    using clock = std::chrono::steady_clock;
    std::vector<double> best(works.size(), 1e300);
    for (int i = 0; i < runs; ++i) {
        before();
        for (std::size_t w = 0; w < works.size(); ++w) {
            const auto start = clock::now();
            works[w]();
            best[w] = std::min(best[w], std::chrono::duration<double, std::milli>(clock::now() - start).count());
        }
    }
    return best;
}

inline double best_ms(int runs, const std::function<void()>& before, const std::function<void()>& work)
{
    return best_ms_in_turns(runs, before, {work}).front();
}

inline double best_ms(int runs, const std::function<void()>& work) { return best_ms(runs, [] {}, work); }

inline void write_bytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

inline std::string read_bytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A debug.cfg with every key the page shows and `entries` read_eof entries in a scrambled
// order; `changed` turns the middle entry's value over, as another program might.
inline std::string sample_cfg(int entries, bool changed = false)
{
    std::string text = "[log]\r\ntype=file\r\nlevel=debug\r\npath=D:\\log\\scan.log\r\ntwain-level=2\r\n"
                       "[twain-app]\r\nlog-all-triple=1\r\nnotify-close=1\r\n[paths]\r\nfinal_img=D:\\img\\\r\n"
                       "[dump]\r\ndumpusb=1\r\nusb_path=D:\\usb\\\r\n[mem]\r\nmax_img=2000\r\n[cpu]\r\nadvanced=1\r\n"
                       "[read_eof]\r\n";
    char line[64];
    for (int i = 0; i < entries; ++i) {
        const bool on = (i % 3 == 0) != (changed && i == entries / 2);
        std::snprintf(line, sizeof line, "scanner_app_%05d.exe=%d\r\n", (i * 7919) % entries, on);
        text += line;
    }
    return text;
}

struct window_deleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using window_ptr = std::unique_ptr<std::remove_pointer_t<HWND>, window_deleter>;

// A hidden top-level window to hold controls, with the common control classes registered.
inline window_ptr host_window()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
    return window_ptr(CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
}

// The configuration page, created from its template and filled from the file.
struct page_window {
    window_ptr host = host_window();
    dlg_adv_cfg page{host.get()};
    page_window() { page.create(GetModuleHandleW(nullptr)); }
};

// debug.cfg as another program keeps changing it: it turns one read_eof entry over and
// back, written as bytes (not through the profile functions), so every reload of the page
// takes new texts into both boxes and one row of the list.
class changing_cfg {
public:
    changing_cfg(std::wstring path, int entries)
        : path_(std::move(path)), bytes_{sample_cfg(entries), sample_cfg(entries, true)}
    {
        write_bytes(path_, bytes_[0]);
    }
    void change() { write_bytes(path_, bytes_[state_ ^= 1]); }
    int state() const { return state_; }
    const std::string& bytes() const { return bytes_[state_]; }

private:
    std::wstring path_;
    std::string bytes_[2];
    int state_ = 0;
};

// Whether the page's process list shows the file's entries as they are now.
inline bool page_shows_file(const dlg_adv_cfg& page, const std::wstring& path)
{
    std::vector<read_eof_item> now;
    read_eof_list(path, now);
    return page.get_item_text(IDC_READ_EOF_TEXT) == read_eof_text(now);
}

// A LOCALAPPDATA of this process's own under the temporary folder, with the first OEM
// folder's config folder in it; removed again, with debug.cfg, when the object goes.
class cfg_folder {
public:
    cfg_folder()
    {
        std::filesystem::create_directories(base_ / L"VeltaScan" / L"config");
        _wputenv_s(L"LOCALAPPDATA", base_.c_str());
    }
    ~cfg_folder() { std::filesystem::remove_all(base_); }
    cfg_folder(const cfg_folder&) = delete;
    cfg_folder& operator=(const cfg_folder&) = delete;

    std::wstring cfg_path() const { return (base_ / L"VeltaScan" / L"config" / L"debug.cfg").wstring(); }

private:
    const std::filesystem::path base_ =
        std::filesystem::temp_directory_path() / (L"scancfg-bench-" + std::to_wstring(GetCurrentProcessId()));
};

} // namespace bench
