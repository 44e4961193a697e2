// Times the INI reader on a debug.cfg of 10,000, 100,000 and 1,000,000 read_eof entries
// against reading the same file line by line with fgets alone, to show that loading
// grows as n log n (one sort per section) with no quadratic step. Run by hand:
//   bench_ini_load.exe [runs]
#include "config/ini_model.h"
#include "config/read_eof.h"
#include "support/text_convert.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

struct file_closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using file_ptr = std::unique_ptr<std::FILE, file_closer>;

// A fresh folder under the temporary folder, removed with its file at the end.
class bench_folder {
public:
    bench_folder()
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        folder_ = std::wstring(base) + L"scancfg-bench-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder_.c_str(), nullptr);
        file_ = folder_ + L"\\debug.cfg";
    }
    ~bench_folder()
    {
        DeleteFileW(file_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    bench_folder(const bench_folder&) = delete;
    bench_folder& operator=(const bench_folder&) = delete;

    const std::wstring& file() const { return file_; }

private:
    std::wstring folder_;
    std::wstring file_;
};

// Keys "process_0123456.exe" in a scrambled order, so the reader has real sorting to do.
bool write_config(const std::wstring& path, long entry_count)
{
    std::FILE* raw = nullptr;
    if (_wfopen_s(&raw, path.c_str(), L"wb") != 0)
        return false;
    const file_ptr file(raw);
    std::fputs("[log]\r\ntype=file\r\nlevel=all\r\n[read_eof]\r\n", file.get());
    char key[64];
    for (long i = 0; i < entry_count; ++i) {
        const long n = (i * 7919L) % entry_count;
        std::snprintf(key, sizeof key, "process_%07ld.exe", n);
        std::fprintf(file.get(), "%s=%ld\r\n", key, n % 2);
    }
    return std::fputs("[mem]\r\nmax_img=1000\r\n", file.get()) >= 0;
}

template <typename Action>
double best_ms(int runs, Action action)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        action();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best)
            best = took.count();
    }
    return best;
}

struct result {
    std::size_t entries = 0;
    std::size_t lines = 0;
    long long bytes = 0;
    double load_ms = 0;
    double fgets_ms = 0;
    double list_ms = 0;
};

result measure(const std::wstring& file, int runs)
{
    result r;
    const std::string path = wide_to_ansi(file.c_str());
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &attributes))
        r.bytes = static_cast<long long>(attributes.nFileSizeLow) | (static_cast<long long>(attributes.nFileSizeHigh) << 32);

    // A fresh model per run, destroyed outside the timing: only the loading counts.
    std::vector<ini_model> models(static_cast<std::size_t>(runs));
    std::size_t run = 0;
    r.load_ms = best_ms(runs, [&] { models[run++].load(path.c_str()); });
    const ini_section* section = models.front().find("read_eof");
    r.entries = section ? section->entries.size() : 0;
    models.clear();

    r.fgets_ms = best_ms(runs, [&] {
        std::FILE* raw = nullptr;
        if (fopen_s(&raw, path.c_str(), "rb") != 0)
            return;
        const file_ptr opened(raw);
        char line[4096] = {};
        r.lines = 0;
        while (std::fgets(line, sizeof line, opened.get()))
            ++r.lines;
    });

    std::vector<read_eof_item> list;
    r.list_ms = best_ms(runs, [&] { read_eof_list(file, list); });
    if (list.size() != r.entries)
        r.entries = 0;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bench_folder folder;
    std::printf("best of %d runs; growth = load time / (n log2 n), relative to 10,000 entries\n", runs);
    std::printf("  entries      bytes   load ms  fgets ms  load/fgets  read_eof_list ms  growth\n");
    bool complete = true;
    double first_per_nlogn = 0;
    for (long entries : {10000L, 100000L, 1000000L}) {
        if (!write_config(folder.file(), entries)) {
            std::fprintf(stderr, "cannot write the test file\n");
            return 1;
        }
        const result r = measure(folder.file(), runs);
        const double nlogn = static_cast<double>(entries) * std::log2(static_cast<double>(entries));
        if (first_per_nlogn == 0)
            first_per_nlogn = r.load_ms / nlogn;
        std::printf("%9ld %10lld %9.1f %9.1f %11.2f %17.1f %7.2f\n", entries, r.bytes, r.load_ms, r.fgets_ms,
                    r.fgets_ms > 0 ? r.load_ms / r.fgets_ms : 0.0, r.list_ms, r.load_ms / nlogn / first_per_nlogn);
        std::fflush(stdout);
        complete = complete && r.entries == static_cast<std::size_t>(entries);
    }
    return complete ? 0 : 1;
}
