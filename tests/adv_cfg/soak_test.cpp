// Many random user actions on random controls. After each one:
// - the page shows what the file holds, as the profile functions and a small reader of
//   this test's own read it (never the page's own loader);
// - the file changed only where the action itself asked: a focus passing through a
//   box, or an item chosen again, leaves it byte for byte; otherwise no key but the
//   action's own changed, and the key holds what the action wrote (or, for a text the
//   file cannot hold, what it held before).
//
// The run is split into two halves of 5,000 actions, run side by side by ctest, each
// with a fixed seed so every run does the same. SCANCFG_SOAK_SEED=<number> runs a half
// with that seed (printed on failure), SCANCFG_SOAK_SEED=random with a new one;
// SCANCFG_SOAK_ACTIONS changes the number of actions of each half.
#include "tests/adv_cfg/page_fixture.h"

#include "config/cfg_location.h"
#include "resources/resource.h"
#include "tests/common/answered_prompts.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <cwctype>
#include <iostream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// ---- the test's own reading of a file ------------------------------------------------

// A name as the profile functions match it: trimmed, without regard to letter case.
std::wstring fold(std::wstring name)
{
    const std::size_t first = name.find_first_not_of(L" \t");
    const std::size_t last = name.find_last_not_of(L" \t");
    name = first == std::wstring::npos ? std::wstring() : name.substr(first, last - first + 1);
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

std::wstring from_ansi(const std::string& bytes) { return code_page_to_wide(bytes, CP_ACP); }

// The file's lines cut at LF, without line ends, each ending at its first zero byte.
std::vector<std::string> lines_of(const std::string& bytes)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end = 0; start < bytes.size(); start = end + 1) {
        end = std::min(bytes.find('\n', start), bytes.size());
        std::string line = bytes.substr(start, end - start);
        line = line.substr(0, line.find('\0'));
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string trim_blanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// (section, key, value) of every key line, names folded, in file order: what must stay
// the same for every key an action did not write.
using key_line = std::tuple<std::wstring, std::wstring, std::wstring>;

std::multiset<key_line> key_lines(const std::string& bytes)
{
    std::multiset<key_line> keys;
    std::wstring section;
    for (const std::string& raw : lines_of(bytes)) {
        const std::string line = trim_blanks(raw);
        if (!line.empty() && line[0] == '[') {
            section = fold(from_ansi(line.substr(1, line.find(']') - 1)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            keys.insert({section, fold(from_ansi(line.substr(0, equals))), from_ansi(trim_blanks(line.substr(equals + 1)))});
    }
    return keys;
}

// The read_eof box as the page must show it: the entries of every section named exactly
// "read_eof" (comment lines "#" and "//" skipped), ordered by unsigned bytes of the key
// (as std::string compares them), equal keys in file order, each "name=1" or "name=0".
std::wstring read_eof_box_text(const std::string& bytes)
{
    std::vector<std::pair<std::string, bool>> entries;
    bool inside = false;
    for (const std::string& raw : lines_of(bytes)) {
        const std::string line = trim_blanks(raw);
        if (line.empty() || line[0] == '#' || line.compare(0, 2, "//") == 0)
            continue;
        if (line[0] == '[') {
            // A header without "]" keeps its line end in its name: never "read_eof".
            const std::size_t close = line.find(']');
            inside = close != std::string::npos && line.substr(1, close - 1) == "read_eof";
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string key = equals == std::string::npos ? "" : trim_blanks(line.substr(0, equals));
        if (inside && !key.empty())
            entries.emplace_back(key, trim_blanks(line.substr(equals + 1)) == "1");
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::wstring text = L"[read_eof]\r\n";
    for (const auto& [key, on] : entries)
        text += from_ansi(key) + (on ? L"=1\r\n" : L"=0\r\n");
    return text;
}

// The lines of `text` from `start` on, each cut at its CR LF; a last line without one counts too.
std::vector<std::wstring> crlf_lines(const std::wstring& text, std::size_t start = 0)
{
    std::vector<std::wstring> lines;
    for (std::size_t end = 0; start < text.size(); start = end + 2) {
        end = std::min(text.find(L"\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The content box: the file's text (the soak's files are ANSI text, each LF after a CR).
std::wstring content_text(const std::string& bytes) { return bytes.size() < 3 ? L"" : from_ansi(bytes); }

// ---- what the page must show, from the profile functions -----------------------------

const wchar_t* const log_types[] = {L"none", L"console", L"file"};
const wchar_t* const log_levels[] = {L"all", L"debug", L"warning", L"fatal"};

int profile_number(const std::wstring& path, const wchar_t* section, const wchar_t* key, int fallback)
{
    return static_cast<int>(GetPrivateProfileIntW(section, key, fallback, path.c_str()));
}

template <std::size_t n>
int token_index(const wchar_t* const (&tokens)[n], const std::wstring& value)
{
    const auto found = std::find(std::begin(tokens), std::end(tokens), value);
    return found == std::end(tokens) ? 0 : static_cast<int>(found - std::begin(tokens));
}

std::wstring unsigned_text(int number) { return std::to_wstring(static_cast<unsigned>(number)); }

struct page_state {
    int log_type = 0, log_level = 0, notify_close = 0;
    bool log_all_triple = false, dump_usb = false, cpu_advanced = false;
    std::map<int, std::wstring> boxes; // edit box id -> text
};

page_state expected_page(const std::wstring& path, const std::wstring& oem_folder, const std::string& bytes)
{
    page_state s;
    s.log_type = token_index(log_types, profile_string(path, L"log", L"type", L"file"));
    s.log_level = token_index(log_levels, profile_string(path, L"log", L"level", L"all"));
    const int notify = profile_number(path, L"twain-app", L"notify-close", 0);
    s.notify_close = notify >= 0 && notify <= 2 ? notify : 0;
    s.log_all_triple = profile_number(path, L"twain-app", L"log-all-triple", 0) == 1;
    s.dump_usb = profile_number(path, L"dump", L"dumpusb", 0) == 1;
    s.cpu_advanced = profile_number(path, L"cpu", L"advanced", 1) == 1;

    std::wstring log_path = profile_string(path, L"log", L"path", L"");
    std::wstring final_img = profile_string(path, L"paths", L"final_img", L"");
    std::wstring usb_path = profile_string(path, L"dump", L"usb_path", L"");
    if (log_path.empty())
        log_path = oem_folder + L"\\log\\%APPNAME%.log";
    if (final_img.empty())
        final_img = oem_folder + L"\\imgs\\";
    if (usb_path.empty())
        usb_path = final_img;
    s.boxes = {
        {IDC_LOG_PATH, log_path},
        {IDC_TWAIN_LEVEL, unsigned_text(profile_number(path, L"log", L"twain-level", 1))},
        {IDC_FINAL_IMG, final_img},
        {IDC_USB_PATH, usb_path},
        {IDC_MAX_IMG, unsigned_text(profile_number(path, L"mem", L"max_img", 1000))},
        {IDC_READ_EOF_TEXT, read_eof_box_text(bytes)},
        {IDC_CFG_CONTENT, content_text(bytes)},
    };
    return s;
}

// ---- what the actions write ----------------------------------------------------------

struct box_key {
    int id;
    const wchar_t *section, *key;
    bool number;
};

const box_key box_keys[] = {
    {IDC_LOG_PATH, L"log", L"path", false},     {IDC_TWAIN_LEVEL, L"log", L"twain-level", true},
    {IDC_FINAL_IMG, L"paths", L"final_img", false}, {IDC_USB_PATH, L"dump", L"usb_path", false},
    {IDC_MAX_IMG, L"mem", L"max_img", true},
};

const box_key* key_of_box(int id)
{
    const auto found = std::find_if(std::begin(box_keys), std::end(box_keys), [id](auto& k) { return k.id == id; });
    return found == std::end(box_keys) ? nullptr : found;
}

// A number box's text as the number the user means: digits that fit 32 unsigned bits,
// whatever zeros lead them, are that number (shown unsigned, stored signed), anything
// else as the C runtime reads it.
std::wstring stored_number(const std::wstring& text)
{
    const std::size_t significant = text.size() - std::min(text.find_first_not_of(L'0'), text.size());
    if (!text.empty() && significant <= 10 && text.find_first_not_of(L"0123456789") == std::wstring::npos) {
        const unsigned long long value = std::wcstoull(text.c_str(), nullptr, 10);
        if (value <= 0xFFFFFFFFull)
            return std::to_wstring(static_cast<int>(static_cast<unsigned>(value)));
    }
    return std::to_wstring(_wtoi(text.c_str()));
}

// The read_eof keys a box text may write: lines after the first header line that the
// shown text does not hold (as many times), with "=", each key with the value its last
// such line asks for.
std::map<std::wstring, std::wstring> read_eof_writes_of(const std::wstring& text, const std::wstring& shown)
{
    std::map<std::wstring, std::wstring> writes;
    const std::wstring header = L"[read_eof]\r\n";
    const std::size_t at = text.find(header);
    if (at == std::wstring::npos)
        return writes;
    const std::vector<std::wstring> shown_lines = crlf_lines(shown, header.size());
    std::multiset<std::wstring> untouched(shown_lines.begin(), shown_lines.end());
    for (const std::wstring& line : crlf_lines(text, at + header.size())) {
        const auto found = untouched.find(line);
        if (found != untouched.end()) {
            untouched.erase(found);
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos)
            writes[fold(line.substr(0, equals))] = line.substr(equals + 1) == L"1" ? L"1" : L"0";
    }
    return writes;
}

// ---- random input --------------------------------------------------------------------

const wchar_t* const text_pieces[] = {
    L"a",  L"Z",  L"x.exe", L"0",   L"1",       L"7",   L"-",  L"12",     L"%",    L"%APPNAME%",
    L"[",  L"]",  L"=",     L" ",   L"\t",      L"\\",  L"/",  L"D:\\",   L"\r\n", L"\n",
    L"\r", L";",  L"#",     L"//",  L"\x626b\x63cf", L"\x56fe\x7247", L"\x65e5\x5fd7", L"abc", L"4294967295", L"\"",
    L"\x0E01", L"\x3000", L"\xFF3B", L"\v", L"'",
};

const wchar_t* const process_names[] = {
    L"a.exe", L"B.exe", L"scan.exe", L"twain_32.exe", L"\x626b\x63cf.exe", L"x y.exe", L"[x].exe", L"#c.exe",
    L";semi.exe", L"k=v.exe", L"app.exe", L"app.EXE", L"  padded.exe ", L"%p%.exe", L"z.exe", L"1",
    L"\x0E01.exe", L"\v[log]",
};

class action_source {
public:
    explicit action_source(std::uint64_t seed) : engine_(seed) {}

    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(engine_); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T, std::size_t n>
    const T& pick(const T (&items)[n]) { return items[static_cast<std::size_t>(below(static_cast<int>(n)))]; }

    std::wstring text()
    {
        const int pieces = chance(5) ? 100 + below(300) : below(8);
        std::wstring result;
        for (int i = 0; i < pieces; ++i)
            result += chance(30) ? std::wstring(1, static_cast<wchar_t>(L'0' + below(10))) : pick(text_pieces);
        return result;
    }

    // Mostly an edit of what the box shows, as a user would make it.
    std::wstring read_eof_text(const std::wstring& shown)
    {
        std::vector<std::wstring> lines = crlf_lines(shown);
        const int edits = 1 + below(3);
        for (int i = 0; i < edits; ++i) {
            const int what = below(10);
            if (what < 3 && lines.size() > 1) {
                const auto at = static_cast<std::size_t>(1 + below(static_cast<int>(lines.size()) - 1));
                lines[at] = lines[at].substr(0, lines[at].find(L'=') + 1) + (chance(50) ? L"1" : text());
            } else if (what < 6) {
                lines.push_back(pick(process_names) + std::wstring(L"=") + (chance(60) ? L"1" : L"0"));
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

std::uint64_t soak_seed(int half)
{
    wchar_t value[32] = {};
    const DWORD length = GetEnvironmentVariableW(L"SCANCFG_SOAK_SEED", value, 32);
    if (length > 0 && length < 32)
        return std::wcscmp(value, L"random") == 0 ? std::random_device{}() ^ (std::uint64_t{GetTickCount()} << 32)
                                                   : std::wcstoull(value, nullptr, 10);
    return 20261209u + static_cast<std::uint64_t>(half);
}

std::uint64_t soak_actions()
{
    wchar_t value[32] = {};
    const DWORD length = GetEnvironmentVariableW(L"SCANCFG_SOAK_ACTIONS", value, 32);
    return length > 0 && length < 32 ? std::wcstoull(value, nullptr, 10) : 5000;
}

std::string narrow(const std::wstring& text) { return wide_to_code_page(text.substr(0, 300), CP_UTF8); }

const int edit_boxes[] = {IDC_LOG_PATH, IDC_TWAIN_LEVEL, IDC_FINAL_IMG, IDC_USB_PATH,
                          IDC_MAX_IMG,  IDC_READ_EOF_TEXT, IDC_CFG_CONTENT};
const int choice_combos[] = {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE};
const wchar_t* const notify_tokens[] = {L"0", L"1", L"2"};

struct check_key {
    int id;
    const wchar_t *section, *key;
};
const check_key check_keys[] = {
    {IDC_LOG_ALL_TRIPLE, L"twain-app", L"log-all-triple"},
    {IDC_DUMP_USB, L"dump", L"dumpusb"},
    {IDC_CPU_ADVANCED, L"cpu", L"advanced"},
};

} // namespace

class adv_cfg_soak : public page_fixture, public testing::WithParamInterface<int> {
protected:
    // Boxes holding text the user typed that the page has not replaced yet (no write, or
    // no refresh since): they show that text or, once refreshed, the file's value.
    std::map<int, std::wstring> typed;
    bool log_path_enabled = true; // follows the last choice in the log-type combo
    // The bytes the content box was last filled from.
    std::string content_basis;
    answered_prompts prompts;

    // Text typed into the content box that differs from what it was filled with.
    bool content_pending() const
    {
        const auto pending = typed.find(IDC_CFG_CONTENT);
        return pending != typed.end() && pending->second != content_text(content_basis);
    }
    // Answers for the box's questions, in the order they come: write the typing before
    // leaving the file? (not asked by "写入"), overwrite a changed file? and the OK of a
    // message that the write was refused.
    std::vector<int> answer_randomly(action_source& random, bool leaving)
    {
        const int leave[] = {IDYES, IDNO, IDCANCEL};
        std::vector<int> answers = {random.chance(50) ? IDYES : IDNO, IDOK};
        if (leaving)
            answers.insert(answers.begin(), random.pick(leave));
        prompts.answer_next(answers);
        return answers;
    }

    void expect_page(const page_state& s)
    {
        EXPECT_EQ(selection(IDC_LOG_TYPE), s.log_type);
        EXPECT_EQ(selection(IDC_LOG_LEVEL), s.log_level);
        EXPECT_EQ(selection(IDC_NOTIFY_CLOSE), s.notify_close);
        EXPECT_EQ(checked(IDC_LOG_ALL_TRIPLE), s.log_all_triple);
        EXPECT_EQ(checked(IDC_DUMP_USB), s.dump_usb);
        EXPECT_EQ(checked(IDC_CPU_ADVANCED), s.cpu_advanced);
        EXPECT_EQ(enabled(IDC_USB_PATH), s.dump_usb);
        EXPECT_EQ(enabled(IDC_LOG_PATH), log_path_enabled);
        for (const auto& [id, expected] : s.boxes) {
            const std::wstring shown = text(id);
            const auto pending = typed.find(id);
            if (id == IDC_CFG_CONTENT && content_pending()) {
                EXPECT_EQ(narrow(shown), narrow(pending->second)) << "the content box keeps the typing";
            } else if (shown == expected) {
                if (pending != typed.end())
                    typed.erase(pending);
            } else if (pending != typed.end()) {
                EXPECT_EQ(narrow(shown), narrow(pending->second)) << "box " << id << " keeps the typed text";
            } else {
                ADD_FAILURE() << "box " << id << " shows \"" << narrow(shown) << "\", the file \"" << narrow(expected)
                              << "\"";
            }
        }
        EXPECT_EQ(SendMessageW(item(IDC_READ_EOF_LIST), LVM_GETITEMCOUNT, 0, 0),
                  static_cast<LRESULT>(std::count(s.boxes.at(IDC_READ_EOF_TEXT).begin(),
                                                  s.boxes.at(IDC_READ_EOF_TEXT).end(), L'\n') -
                                       1));
    }
};

TEST_P(adv_cfg_soak, random_user_actions_keep_page_and_file_in_step)
{
    const std::uint64_t seed = soak_seed(GetParam());
    const std::uint64_t actions = soak_actions();
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
    const wchar_t* const oems[] = {L"VeltaScan", L"MorvelScan", L"PestraScan"};
    for (const wchar_t* oem : oems)
        prepare(prepared, oem);
    open_page();

    int oem_index = 0;
    std::wstring path = text(IDC_CFG_PATH);
    std::string bytes = read_file_bytes(path);
    content_basis = bytes;
    page_state expected = expected_page(path, oem_folder(oems[oem_index]), bytes);
    expect_page(expected);

    const auto started = std::chrono::steady_clock::now();
    for (std::uint64_t n = 0; n < actions && !HasFailure(); ++n) {
        // What the action may write: key (folded) -> the values it may hold afterwards:
        // what the action wrote, and for a text the file may refuse, what it held before.
        std::map<std::pair<std::wstring, std::wstring>, std::set<std::wstring>> writes;
        const auto may_refuse = [&](const std::wstring& section, const std::wstring& key, const std::wstring& value) {
            writes[{section, key}] = {value, profile_string(path, section, key)};
        };
        bool may_write = false;
        // The content box's typing, when the action may write it as the whole file.
        const bool drafted = content_pending();
        const std::wstring draft = drafted ? typed[IDC_CFG_CONTENT] : std::wstring();
        bool may_write_content = false;
        std::vector<int> answers;
        bool leaving = false;
        prompts.shown.clear();
        std::wstring action;

        const int kind = random.below(20);
        if (kind < 10) { // type into a box, or pass the focus through it
            const int id = random.pick(edit_boxes);
            if (!enabled(id))
                continue; // a disabled box cannot take the focus
            const bool pass = random.chance(20);
            if (!pass) {
                SetWindowTextW(item(id), (id == IDC_READ_EOF_TEXT ? random.read_eof_text(text(id)) : random.text()).c_str());
                typed[id] = text(id); // what the box holds, and the page will read
                SendMessageW(item(id), EM_SETMODIFY, TRUE, 0);
            }
            const auto pending = typed.find(id);
            const std::wstring held = text(id);
            action = (pass ? L"pass through " : L"type into ") + std::to_wstring(id) + L": " + held;
            // Only a text the user typed, that the file does not show, is written.
            if (pending != typed.end() && held != expected.boxes.at(id)) {
                if (id == IDC_READ_EOF_TEXT) {
                    for (const auto& [key, value] : read_eof_writes_of(held, expected.boxes.at(id)))
                        may_refuse(L"read_eof", key, value);
                } else if (const box_key* k = key_of_box(id)) {
                    if (k->number)
                        writes[{k->section, k->key}] = {stored_number(held)};
                    else if (id != IDC_LOG_PATH || held.find(L'%') == std::wstring::npos)
                        may_refuse(k->section, k->key, held);
                }
                may_write = !writes.empty();
            }
            leave(id);
        } else if (kind < 16) { // choose an item, often the one shown
            const int id = random.pick(choice_combos);
            const int index = random.chance(30) ? selection(id) : random.below(item_count(id));
            action = L"choose " + std::to_wstring(index) + L" in " + std::to_wstring(id);
            const int shown = id == IDC_LOG_TYPE    ? expected.log_type
                              : id == IDC_LOG_LEVEL ? expected.log_level
                                                    : expected.notify_close;
            if (index != shown) {
                may_write = true;
                if (id == IDC_LOG_TYPE)
                    writes[{L"log", L"type"}] = {log_types[index]};
                else if (id == IDC_LOG_LEVEL)
                    writes[{L"log", L"level"}] = {log_levels[index]};
                else
                    writes[{L"twain-app", L"notify-close"}] = {notify_tokens[index]};
            }
            choose(id, index);
            if (id == IDC_LOG_TYPE)
                log_path_enabled = selection(IDC_LOG_TYPE) == 2;
        } else if (kind < 19) { // click a check box: it toggles
            const check_key& k = random.pick(check_keys);
            const bool on = !checked(k.id);
            action = L"click " + std::to_wstring(k.id) + (on ? L" on" : L" off");
            may_write = true;
            writes[{k.section, k.key}] = {on ? L"1" : L"0"};
            tick(k.id, on);
        } else if (random.chance(70)) {
            action = L"click 写入";
            answers = answer_randomly(random, false);
            may_write_content = drafted;
            click(IDC_WRITE);
        } else {
            const int next = (oem_index + 1 + random.below(2)) % 3;
            action = std::wstring(L"choose OEM ") + oems[next];
            leaving = true;
            answers = answer_randomly(random, true);
            may_write_content = drafted;
            choose(IDC_OEM, next);
            if (text(IDC_CFG_PATH) != path) {
                oem_index = next;
                typed.clear(); // the page shows the other file everywhere
            }
        }

        SCOPED_TRACE(testing::Message() << "action " << n << " of seed " << seed << " (SCANCFG_SOAK_SEED=" << seed
                                        << "): " << narrow(action));
        const std::wstring path_after = text(IDC_CFG_PATH);
        const std::string bytes_after = read_file_bytes(path);
        if (may_write_content) {
            // The typing is the file now, if the user asked for it and did not decline to
            // overwrite another change; else the file is as it was.
            const bool asked = !leaving || answers[0] == IDYES;
            const bool declined = bytes != content_basis && answers[leaving ? 1 : 0] != IDYES;
            if (bytes_after != bytes || (asked && !declined && content_text(bytes) == with_crlf(draft)))
                typed.erase(IDC_CFG_CONTENT); // written, or the file holds it already
            if (bytes_after != bytes) {
                EXPECT_TRUE(asked && !declined) << "written unasked";
                EXPECT_EQ(narrow(content_text(bytes_after)), narrow(with_crlf(draft)));
            } else {
                // Refused: a character the code page lacks, or a file too short to show.
                const std::string stored = wide_to_code_page(with_crlf(draft), CP_ACP);
                EXPECT_TRUE(!asked || declined || from_ansi(stored) != with_crlf(draft) || stored.size() < 3 ||
                            content_text(bytes) == with_crlf(draft))
                    << "nothing written";
            }
        } else if (!may_write) {
            EXPECT_EQ(bytes_after, bytes) << "nothing to write, yet the file changed";
            EXPECT_TRUE(prompts.shown.empty() || drafted) << "a question with nothing typed";
        } else if (bytes_after != bytes) {
            // No key but the action's own changed...
            std::multiset<key_line> before = key_lines(bytes), after = key_lines(bytes_after);
            const auto others = [&](std::multiset<key_line>& keys) {
                for (auto it = keys.begin(); it != keys.end();)
                    it = writes.count({std::get<0>(*it), std::get<1>(*it)}) ? keys.erase(it) : std::next(it);
            };
            others(before);
            others(after);
            EXPECT_TRUE(before == after) << "a key the action did not write changed";
            // ...and each holds what the action wrote, or what it held (a refused text).
            for (const auto& [name, values] : writes) {
                const std::wstring now = profile_string(path, name.first, name.second);
                EXPECT_EQ(values.count(now), 1u) << "[" << narrow(name.first) << "] " << narrow(name.second) << " = "
                                                 << narrow(now);
            }
        }

        if (path_after != path || bytes_after != bytes) {
            path = path_after;
            bytes = read_file_bytes(path);
            expected = expected_page(path, oem_folder(oems[oem_index]), bytes);
        }
        expect_page(expected);
        // A box not edited was filled from the file as it is now.
        if (!content_pending())
            content_basis = bytes;

        // Now and then another program puts the prepared file back. Keys are never
        // removed by the page, so without this the read_eof section would grow by
        // hundreds of random keys and each refresh would slow the run down.
        if ((n + 1) % 1000 == 0) {
            write_file_bytes(path, prepared);
            SendMessageW(item(IDC_CFG_CONTENT), EM_SETMODIFY, FALSE, 0); // typing dropped
            page->refresh_controls();
            typed.clear();
            bytes = content_basis = prepared;
            expected = expected_page(path, oem_folder(oems[oem_index]), bytes);
            expect_page(expected);
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "soak: seed " << seed << ", " << actions << " actions in " << seconds << " s\n";
}

INSTANTIATE_TEST_SUITE_P(half, adv_cfg_soak, testing::Values(0, 1));
