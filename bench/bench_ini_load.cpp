// Times the INI reader on a debug.cfg of 10,000, 100,000 and 1,000,000 read_eof entries
// against reading the same file line by line with fgets alone, to show that loading
// grows as n log n (one sort per section) with no quadratic step. The parse column is
// the reader alone on bytes already in memory; load is reading the file and parsing it.
// Run by hand:
//   bench_ini_load.exe [runs]
#include "bench/bench_support.h"
#include "config/ini_model.h"
#include "config/read_eof.h"
#include "support/text_convert.h"

#include <algorithm>
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

// Keys "process_0123456.exe" in a scrambled order, so the reader has real sorting to do.
std::string config_bytes(long entry_count)
{
    std::string bytes = "[log]\r\ntype=file\r\nlevel=all\r\n[read_eof]\r\n";
    char line[64];
    for (long i = 0; i < entry_count; ++i) {
        const long n = (i * 7919L) % entry_count;
        std::snprintf(line, sizeof line, "process_%07ld.exe=%ld\r\n", n, n % 2);
        bytes += line;
    }
    return bytes + "[mem]\r\nmax_img=1000\r\n";
}

struct result {
    std::size_t entries = 0;
    std::size_t lines = 0;
    double load_ms = 0;
    double parse_ms = 0;
    double fgets_ms = 0;
    double list_ms = 0;
};

// A fresh model per run, destroyed outside the timing: only the reading counts.
template <typename Read>
double best_model_ms(int runs, Read read, std::size_t& entries)
{
    std::vector<ini_model> models(static_cast<std::size_t>(runs));
    std::size_t run = 0;
    const double best = bench::best_ms(runs, [&] { read(models[run++]); });
    const ini_section* section = models.front().find("read_eof");
    entries = section ? section->entries.size() : 0;
    return best;
}

result measure(const std::wstring& file, const std::string& bytes, int runs)
{
    result r;
    const std::string path = wide_to_ansi(file.c_str());
    std::size_t parsed = 0;
    r.load_ms = best_model_ms(runs, [&](ini_model& model) { model.load(path.c_str()); }, r.entries);
    r.parse_ms = best_model_ms(runs, [&](ini_model& model) { model.parse(bytes); }, parsed);

    r.fgets_ms = bench::best_ms(runs, [&] {
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
    r.list_ms = bench::best_ms(runs, [&] { read_eof_list(file, list); });
    if (list.size() != r.entries || parsed != r.entries)
        r.entries = 0;
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bench::cfg_folder folder;
    std::printf("best of %d runs; growth = load time / (n log2 n), relative to 10,000 entries\n", runs);
    std::printf("  entries      bytes   load ms  parse ms  fgets ms  load/fgets  read_eof_list ms  growth\n");
    bool complete = true;
    double first_per_nlogn = 0;
    for (long entries : {10000L, 100000L, 1000000L}) {
        const std::string bytes = config_bytes(entries);
        bench::write_bytes(folder.cfg_path(), bytes);
        const result r = measure(folder.cfg_path(), bytes, runs);
        const double nlogn = static_cast<double>(entries) * std::log2(static_cast<double>(entries));
        if (first_per_nlogn == 0)
            first_per_nlogn = r.load_ms / nlogn;
        std::printf("%9ld %10lld %9.1f %9.1f %9.1f %11.2f %17.1f %7.2f\n", entries,
                    static_cast<long long>(bytes.size()), r.load_ms, r.parse_ms, r.fgets_ms,
                    r.fgets_ms > 0 ? r.load_ms / r.fgets_ms : 0.0, r.list_ms, r.load_ms / nlogn / first_per_nlogn);
        std::fflush(stdout);
        complete = complete && r.entries == static_cast<std::size_t>(entries);
    }
    return complete ? 0 : 1;
}
