// What the page benchmarks share: timing, a private LOCALAPPDATA holding debug.cfg,
// writing the file's bytes, and windows that are destroyed with their owner object.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

namespace bench {

using clock_type = std::chrono::steady_clock;

inline double ms_since(clock_type::time_point start)
{
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// Best of `runs`, in milliseconds, each prepared by `before` outside the timing: the
// least disturbed run on a shared machine.
inline double best_ms(int runs, const std::function<void()>& before, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        before();
        const auto start = clock_type::now();
        work();
        best = std::min(best, ms_since(start));
    }
    return best;
}

inline double best_ms(int runs, const std::function<void()>& work) { return best_ms(runs, [] {}, work); }

inline void write_bytes(const std::wstring& path, const std::string& bytes)
{
    FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"wb") == 0 && file) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

struct window_deleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using window_ptr = std::unique_ptr<std::remove_pointer_t<HWND>, window_deleter>;

// A LOCALAPPDATA of this process's own under the temporary folder, with the first OEM
// folder's config folder in it; removed again, with debug.cfg, when the object goes.
class cfg_folder {
public:
    cfg_folder()
    {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        base_ = std::wstring(temp) + L"scancfg-bench-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(base_.c_str(), nullptr);
        CreateDirectoryW((base_ + L"\\VeltaScan").c_str(), nullptr);
        CreateDirectoryW((base_ + L"\\VeltaScan\\config").c_str(), nullptr);
        _wputenv_s(L"LOCALAPPDATA", base_.c_str());
    }
    ~cfg_folder()
    {
        DeleteFileW(cfg_path().c_str());
        RemoveDirectoryW((base_ + L"\\VeltaScan\\config").c_str());
        RemoveDirectoryW((base_ + L"\\VeltaScan").c_str());
        RemoveDirectoryW(base_.c_str());
    }
    cfg_folder(const cfg_folder&) = delete;
    cfg_folder& operator=(const cfg_folder&) = delete;

    std::wstring cfg_path() const { return base_ + L"\\VeltaScan\\config\\debug.cfg"; }

private:
    std::wstring base_;
};

} // namespace bench
