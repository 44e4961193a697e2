// Many random user actions on random controls. After each one the page must show what
// a fresh read of the file gives and the file must still load; no key may change other
// than those the actions wrote.
//
// The run is split into two halves of 5,000 actions, each with its own seed, so ctest
// can run them side by side. SCANCFG_SOAK_SEED replays a half (its seed is printed);
// SCANCFG_SOAK_ACTIONS changes the number of actions of each half.
#include "tests/adv_cfg/page_fixture.h"

#include "config/cfg_location.h"
#include "config/file_text.h"
#include "config/ini_model.h"
#include "config/read_eof_text.h"
#include "resources/resource.h"
#include "support/text_convert.h"

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cwchar>
#include <cwctype>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// Section -> key -> value, names folded to lower case and trimmed as the profile
// functions match them.
using key_snapshot = std::map<std::wstring, std::map<std::wstring, std::wstring>>;
using key_name = std::pair<std::wstring, std::wstring>;

std::wstring fold(std::wstring name)
{
    const std::size_t first = name.find_first_not_of(L" \t");
    const std::size_t last = name.find_last_not_of(L" \t");
    name = first == std::wstring::npos ? std::wstring() : name.substr(first, last - first + 1);
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

// A double-NUL-terminated list from a profile function, read whole.
template <typename read_function>
std::vector<std::wstring> read_list(read_function read)
{
    for (DWORD size = 4096;; size *= 4) {
        std::vector<wchar_t> buffer(size, L'\0');
        const DWORD length = read(buffer.data(), size);
        if (length + 2 < size) {
            std::vector<std::wstring> items;
            for (const wchar_t* at = buffer.data(); *at; at += wcslen(at) + 1)
                items.emplace_back(at);
            return items;
        }
    }
}

key_snapshot snapshot_keys(const std::wstring& path)
{
    key_snapshot keys;
    const auto sections = read_list([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, path.c_str());
    });
    for (const std::wstring& section : sections) {
        const auto lines = read_list([&](wchar_t* buffer, DWORD size) {
            return GetPrivateProfileSectionW(section.c_str(), buffer, size, path.c_str());
        });
        auto& entries = keys[fold(section)];
        for (const std::wstring& line : lines) {
            const std::size_t equals = line.find(L'=');
            entries[fold(line.substr(0, equals))] += equals == std::wstring::npos ? L"" : line.substr(equals);
        }
    }
    return keys;
}

// A key as the file holds it: ANSI text, so characters outside the code page change.
std::wstring as_stored(const std::wstring& key)
{
    return multibyte_to_wide(wide_to_ansi(key.c_str()).c_str(), CP_ACP);
}

// Every key whose value differs between the two snapshots.
std::set<key_name> changed_keys(const key_snapshot& before, const key_snapshot& after)
{
    std::set<key_name> changed;
    const auto compare = [&](const key_snapshot& one, const key_snapshot& other) {
        for (const auto& [section, entries] : one) {
            const auto found = other.find(section);
            for (const auto& [key, value] : entries) {
                if (found == other.end() || found->second.count(key) == 0 || found->second.at(key) != value)
                    changed.insert({section, key});
            }
        }
    };
    compare(before, after);
    compare(after, before);
    return changed;
}

// Does leaving the read_eof box with this text write (or try to write) anything?
bool read_eof_text_writes(const std::wstring& text)
{
    const std::wstring header = L"[read_eof]\r\n";
    const std::size_t at = text.find(header);
    if (at == std::wstring::npos)
        return false;
    std::wstring rest = text.substr(at + header.size());
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = rest.size();
        if (rest.substr(start, end - start).find(L'=') != std::wstring::npos)
            return true;
        start = end + 2;
    }
    return false;
}

const wchar_t* const text_pieces[] = {
    L"a",  L"Z",  L"x.exe", L"0",   L"1",       L"7",   L"-",  L"12",     L"%",    L"%APPNAME%",
    L"[",  L"]",  L"=",     L" ",   L"\t",      L"\\",  L"/",  L"D:\\",   L"\r\n", L"\n",
    L"\r", L";",  L"#",     L"//",  L"\x626b\x63cf", L"\x56fe\x7247", L"\x65e5\x5fd7", L"abc", L"4294967295", L"\"",
};

const wchar_t* const process_names[] = {
    L"a.exe", L"B.exe", L"scan.exe", L"twain_32.exe", L"\x626b\x63cf.exe", L"x y.exe", L"[x].exe", L"#c.exe",
    L";semi.exe", L"k=v.exe", L"app.exe", L"app.EXE", L"  padded.exe ", L"%p%.exe", L"z.exe", L"1",
};

class action_source {
public:
    explicit action_source(std::uint64_t seed) : engine_(seed) {}

    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(engine_); }
    bool chance(int percent) { return below(100) < percent; }

    std::wstring text()
    {
        const int pieces = chance(5) ? 100 + below(300) : below(8);
        std::wstring result;
        for (int i = 0; i < pieces; ++i)
            result += chance(30) ? std::wstring(1, static_cast<wchar_t>(L'0' + below(10)))
                                 : text_pieces[below(static_cast<int>(std::size(text_pieces)))];
        return result;
    }

    // Mostly an edit of what the box shows, as a user would make it.
    std::wstring read_eof_text(const std::wstring& shown)
    {
        std::vector<std::wstring> lines;
        for (std::size_t start = 0; start < shown.size();) {
            std::size_t end = shown.find(L"\r\n", start);
            if (end == std::wstring::npos)
                end = shown.size();
            lines.push_back(shown.substr(start, end - start));
            start = end + 2;
        }
        const int edits = 1 + below(3);
        for (int i = 0; i < edits; ++i) {
            const int what = below(10);
            if (what < 3 && lines.size() > 1) {
                const auto at = static_cast<std::size_t>(1 + below(static_cast<int>(lines.size()) - 1));
                lines[at] = lines[at].substr(0, lines[at].find(L'=') + 1) + (chance(50) ? L"1" : text());
            } else if (what < 6) {
                lines.push_back(process_names[below(static_cast<int>(std::size(process_names)))] +
                                std::wstring(L"=") + (chance(60) ? L"1" : L"0"));
            } else if (what < 7 && !lines.empty()) {
                lines.erase(lines.begin() + below(static_cast<int>(lines.size())));
            } else if (what < 8) {
                lines.push_back(text() + (chance(50) ? L"=1" : L""));
            } else if (what < 9 && chance(10)) {
                lines.push_back(std::wstring(static_cast<std::size_t>(250 + below(60)), L'n') + L"=1");
            } else {
                lines.push_back(L"[read_eof]");
            }
        }
        std::wstring result;
        for (std::size_t i = 0; i < lines.size(); ++i)
            result += lines[i] + (i + 1 < lines.size() || chance(80) ? L"\r\n" : L"");
        return result;
    }

private:
    std::mt19937_64 engine_;
};

std::uint64_t env_number(const wchar_t* name, std::uint64_t fallback)
{
    wchar_t value[32] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, 32);
    return length > 0 && length < 32 ? std::wcstoull(value, nullptr, 10) : fallback;
}

} // namespace

class adv_cfg_soak : public page_fixture, public testing::WithParamInterface<int> {
protected:
    // Controls that keep typed text until the next refresh, and so cannot agree with
    // the file: the log path box after a text with "%", the read_eof box after a text
    // that writes nothing, and the content box after any typing.
    std::set<int> typed_not_written;

    void expect_page_matches_file()
    {
        const std::wstring path = text(IDC_CFG_PATH);
        cfg_settings fresh;
        load_cfg_keys(path, fresh);
        read_eof_list(path, fresh.read_eof);
        const auto unsigned_text = [](std::int32_t value) {
            return std::to_wstring(static_cast<std::uint32_t>(value));
        };
        const auto unless_typed = [&](int id, const std::wstring& expected) {
            if (typed_not_written.count(id) == 0) {
                EXPECT_EQ(text(id), expected) << "control " << id;
            }
        };
        EXPECT_EQ(selection(IDC_LOG_TYPE), static_cast<int>(log_type_index(fresh.log_type)));
        EXPECT_EQ(selection(IDC_LOG_LEVEL), static_cast<int>(log_level_index(fresh.log_level)));
        EXPECT_EQ(selection(IDC_NOTIFY_CLOSE), static_cast<int>(notify_close_index(fresh.notify_close)));
        unless_typed(IDC_LOG_PATH, fresh.log_path);
        EXPECT_EQ(text(IDC_TWAIN_LEVEL), unsigned_text(fresh.twain_level));
        EXPECT_EQ(checked(IDC_LOG_ALL_TRIPLE), fresh.log_all_triple);
        EXPECT_EQ(text(IDC_FINAL_IMG), fresh.final_img);
        EXPECT_EQ(checked(IDC_DUMP_USB), fresh.dump_usb);
        EXPECT_EQ(enabled(IDC_USB_PATH), fresh.dump_usb);
        EXPECT_EQ(text(IDC_USB_PATH), fresh.usb_path);
        EXPECT_EQ(text(IDC_MAX_IMG), unsigned_text(fresh.max_img));
        EXPECT_EQ(checked(IDC_CPU_ADVANCED), fresh.cpu_advanced);
        unless_typed(IDC_READ_EOF_TEXT, ::read_eof_text(fresh.read_eof));
        unless_typed(IDC_CFG_CONTENT, read_cfg_raw_text(path));
        EXPECT_EQ(SendMessageW(item(IDC_READ_EOF_LIST), LVM_GETITEMCOUNT, 0, 0),
                  static_cast<LRESULT>(fresh.read_eof.size()));
        if (file_exists(path)) {
            ini_model model;
            EXPECT_EQ(model.load(wide_to_ansi(path.c_str()).c_str()), 0);
        }
    }
};

TEST_P(adv_cfg_soak, random_user_actions_keep_page_and_file_in_step)
{
    const std::uint64_t seed =
        env_number(L"SCANCFG_SOAK_SEED", (static_cast<std::uint64_t>(std::random_device{}()) << 16 ^
                                          static_cast<std::uint64_t>(GetTickCount())) +
                                             static_cast<std::uint64_t>(GetParam()));
    const std::uint64_t actions = env_number(L"SCANCFG_SOAK_ACTIONS", 5000);
    std::cout << "soak seed " << seed << " (replay with SCANCFG_SOAK_SEED=" << seed << ")\n";
    RecordProperty("seed", std::to_string(seed));
    action_source random(seed);

    const std::string prepared = wide_to_code_page(w("; 驱动调试配置\r\n"
                                                     "[log]\r\ntype=console\r\nlevel=warning\r\npath=D:\\log\\a.log\r\n"
                                                     "twain-level=3\r\n"
                                                     "[twain-app]\r\nlog-all-triple=1\r\nnotify-close=7\r\n"
                                                     "[other]\r\nkeep=me\r\n"
                                                     "[dump]\r\ndumpusb=1\r\n"
                                                     "[mem]\r\nmax_img=-5\r\n"
                                                     "[read_eof]\r\nb.exe=0\r\na.exe=1\r\n扫描.exe=1\r\n"
                                                     "[cpu]\r\nadvanced=0\r\n"),
                                                   CP_ACP);
    for (const wchar_t* oem : {L"VeltaScan", L"MorvelScan", L"PestraScan"})
        prepare(prepared, oem);
    open_page();

    const int edits[] = {IDC_LOG_PATH, IDC_TWAIN_LEVEL, IDC_FINAL_IMG, IDC_USB_PATH, IDC_MAX_IMG,
                         IDC_READ_EOF_TEXT, IDC_CFG_CONTENT};
    const int combos[] = {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE, IDC_OEM};
    const int buttons[] = {IDC_LOG_ALL_TRIPLE, IDC_DUMP_USB, IDC_CPU_ADVANCED, IDC_WRITE};

    // Comparing every key costs more than a page refresh, so it is done over a span of
    // actions (and whenever the page moves to another file) against every key written
    // in that span. Actions that write nothing are checked byte for byte each time.
    struct checkpoint {
        std::wstring path;
        key_snapshot keys;
        std::set<key_name> written;
        int actions = 0;
    };
    const auto start_checkpoint = [&](const std::wstring& path) {
        return checkpoint{path, snapshot_keys(path), {}, 0};
    };
    checkpoint span = start_checkpoint(text(IDC_CFG_PATH));
    const auto close_checkpoint = [&] {
        for (const key_name& key : changed_keys(span.keys, snapshot_keys(span.path)))
            EXPECT_EQ(span.written.count(key), 1u) << "changed: [" << wide_to_code_page(key.first, CP_UTF8) << "] "
                                                   << wide_to_code_page(key.second, CP_UTF8);
    };

    const auto started = std::chrono::steady_clock::now();
    std::uint64_t skipped = 0;
    for (std::uint64_t n = 0; n < actions && !HasFailure();) {
        const std::wstring path = text(IDC_CFG_PATH);
        const std::string bytes_before = read_file_bytes(path);
        std::set<key_name> written;
        bool refreshes = true;
        std::wstring action;

        const int kind = random.below(10);
        if (kind < 5) {
            const int id = edits[random.below(static_cast<int>(std::size(edits)))];
            if (!enabled(id)) {
                ++skipped; // a disabled box cannot take the focus
                continue;
            }
            const std::wstring typed = id == IDC_READ_EOF_TEXT ? random.read_eof_text(text(id)) : random.text();
            SetWindowTextW(item(id), typed.c_str());
            const std::wstring held = text(id); // what the page will read
            action = L"type into " + std::to_wstring(id) + L": " + held;
            switch (id) {
            case IDC_LOG_PATH:
                refreshes = held.find(L'%') == std::wstring::npos;
                written = {{L"log", L"path"}};
                break;
            case IDC_TWAIN_LEVEL: written = {{L"log", L"twain-level"}}; break;
            case IDC_FINAL_IMG: written = {{L"paths", L"final_img"}}; break;
            case IDC_USB_PATH: written = {{L"dump", L"usb_path"}}; break;
            case IDC_MAX_IMG: written = {{L"mem", L"max_img"}}; break;
            case IDC_READ_EOF_TEXT: {
                refreshes = read_eof_text_writes(held);
                for (const auto& [key, value] : parse_read_eof_text(held))
                    written.insert({L"read_eof", fold(as_stored(key))});
                break;
            }
            default: refreshes = false; break;
            }
            if (!refreshes)
                typed_not_written.insert(id);
            leave(id);
        } else if (kind < 8) {
            const int id = combos[random.below(static_cast<int>(std::size(combos)))];
            if (id == IDC_OEM && !random.chance(25)) {
                ++skipped; // keep most of the run on one file
                continue;
            }
            const int index = random.below(item_count(id));
            action = L"choose " + std::to_wstring(index) + L" in " + std::to_wstring(id);
            if (id == IDC_LOG_TYPE)
                written = {{L"log", L"type"}};
            else if (id == IDC_LOG_LEVEL)
                written = {{L"log", L"level"}};
            else if (id == IDC_NOTIFY_CLOSE)
                written = {{L"twain-app", L"notify-close"}};
            choose(id, index);
        } else {
            const int id = buttons[random.below(static_cast<int>(std::size(buttons)))];
            const bool on = random.chance(50);
            action = L"click " + std::to_wstring(id) + (on ? L" on" : L" off");
            if (id == IDC_WRITE) {
                refreshes = false;
                click(id);
            } else {
                if (id == IDC_DUMP_USB)
                    written = {{L"dump", L"dumpusb"}};
                else if (id == IDC_CPU_ADVANCED)
                    written = {{L"cpu", L"advanced"}};
                else
                    written = {{L"twain-app", L"log-all-triple"}};
                tick(id, on);
            }
        }
        if (refreshes)
            typed_not_written.clear();
        else
            written.clear();

        SCOPED_TRACE(testing::Message() << "action " << n << ", seed " << seed << ": "
                                        << wide_to_code_page(action.substr(0, 300), CP_UTF8));
        if (written.empty()) {
            EXPECT_EQ(read_file_bytes(path), bytes_before);
        }
        span.written.insert(written.begin(), written.end());
        if (++span.actions == 10 || text(IDC_CFG_PATH) != span.path) {
            close_checkpoint();
            span = start_checkpoint(text(IDC_CFG_PATH));
        }
        expect_page_matches_file();
        ++n;

        // Now and then another program puts the prepared file back. Keys are never
        // removed by the page, so without this the read_eof section would grow by
        // hundreds of random keys and each refresh would slow the run down.
        if (n % 1000 == 0) {
            close_checkpoint();
            write_file_bytes(text(IDC_CFG_PATH), prepared);
            page->refresh_controls();
            typed_not_written.clear();
            span = start_checkpoint(text(IDC_CFG_PATH));
            expect_page_matches_file();
        }
    }
    close_checkpoint();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "soak: " << actions << " actions (" << skipped << " draws skipped) in " << seconds << " s\n";
}

INSTANTIATE_TEST_SUITE_P(half, adv_cfg_soak, testing::Values(0, 1));
