// Reading and writing debug.cfg key by key, against real files in a fresh folder.
#include "config/cfg_settings.h"
#include "config/cfg_keys.h"
#include "config/cfg_location.h"
#include "config/read_eof_text.h"
#include "config/write_rule.h"
#include "tests/common/test_files.h"
#include "tests/dialogs/import_patch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <string>

namespace {

// A LOCALAPPDATA of its own with the first OEM's config folder, and the start path in it.
class cfg_file_test : public testing::Test {
protected:
    cfg_file_test() { make_dirs(dir_.file(L"VeltaScan\\config")); }

    static cfg_settings loaded(const std::wstring& path) { cfg_settings s; load_cfg_keys(path, s); return s; }
    cfg_settings load_text(const std::string& ansi_text)
    {
        EXPECT_TRUE(write_file_bytes(file_, ansi_text));
        return loaded(path_);
    }

    temp_dir dir_;
    scoped_env env_{L"LOCALAPPDATA", dir_.path().c_str()};
    std::wstring path_ = initial_cfg_path();                        // as the page forms it, doubled backslash included
    std::wstring file_ = dir_.file(L"VeltaScan\\config\\debug.cfg"); // the same file, plainly written
    std::wstring base_ = dir_.file(L"VeltaScan");                     // its OEM folder
};

// The log tokens as read, and the combo items they select.
void expect_log_tokens(const cfg_settings& s, const wchar_t* type, std::size_t type_item, const wchar_t* level,
                       std::size_t level_item)
{
    EXPECT_EQ(type, s.log_type);
    EXPECT_EQ(type_item, choice_index(cfg::log_types, s.log_type));
    EXPECT_EQ(level, s.log_level);
    EXPECT_EQ(level_item, choice_index(cfg::log_levels, s.log_level));
}

// ---- loading -------------------------------------------------------------------------

TEST_F(cfg_file_test, MissingFileLoadsEveryDefaultAndDerivedDefault)
{
    cfg_settings settings;
    settings.log_type = L"none";
    settings.twain_level = 9;
    settings.cpu_advanced = false;
    settings.read_eof = {{true, L"keep.exe"}};
    load_cfg_keys(path_, settings);

    EXPECT_FALSE(file_exists(file_)); // loading never writes
    EXPECT_EQ(L"file", settings.log_type);
    EXPECT_EQ(L"all", settings.log_level);
    EXPECT_EQ(base_ + L"\\log\\%APPNAME%.log", settings.log_path);
    EXPECT_EQ(1, settings.twain_level);
    EXPECT_FALSE(settings.log_all_triple);
    EXPECT_EQ(0, settings.notify_close);
    EXPECT_EQ(base_ + L"\\imgs\\", settings.final_img);
    EXPECT_FALSE(settings.dump_usb);
    EXPECT_EQ(settings.final_img, settings.usb_path);
    EXPECT_EQ(1000, settings.max_img);
    EXPECT_TRUE(settings.cpu_advanced);
    ASSERT_EQ(1u, settings.read_eof.size()); // the key reads leave the list to its own reader
    EXPECT_EQ(L"keep.exe", settings.read_eof[0].name);
}

TEST_F(cfg_file_test, MissingFileWithoutLocalAppDataDerivesFromTheBareOemFolder)
{
    scoped_env unset(L"LOCALAPPDATA", nullptr);
    const cfg_settings settings = loaded(initial_cfg_path());
    EXPECT_EQ(L"\\VeltaScan\\log\\%APPNAME%.log", settings.log_path);
    EXPECT_EQ(L"\\VeltaScan\\imgs\\", settings.final_img);
    EXPECT_EQ(L"\\VeltaScan\\imgs\\", settings.usb_path);
}

TEST_F(cfg_file_test, FileWithEveryKey)
{
    const cfg_settings s = load_text("[log]\r\ntype=console\r\nlevel=warning\r\npath=D:\\logs\\scan.log\r\n"
                                     "twain-level=3\r\n"
                                     "[twain-app]\r\nlog-all-triple=1\r\nnotify-close=2\r\n"
                                     "[paths]\r\nfinal_img=D:\\img\r\n"
                                     "[dump]\r\ndumpusb=1\r\nusb_path=E:\\usb\\\r\n"
                                     "[mem]\r\nmax_img=2048\r\n"
                                     "[cpu]\r\nadvanced=0\r\n"
                                     "[read_eof]\r\na.exe=1\r\n");
    expect_log_tokens(s, L"console", 1, L"warning", 2);
    EXPECT_EQ(L"D:\\logs\\scan.log", s.log_path);
    EXPECT_EQ(3, s.twain_level);
    EXPECT_TRUE(s.log_all_triple);
    EXPECT_EQ(2, s.notify_close);
    EXPECT_EQ(L"D:\\img", s.final_img);
    EXPECT_TRUE(s.dump_usb);
    EXPECT_EQ(L"E:\\usb\\", s.usb_path);
    EXPECT_EQ(2048, s.max_img);
    EXPECT_FALSE(s.cpu_advanced);
}

TEST_F(cfg_file_test, OddValuesAreKeptAsTheyAre)
{
    const cfg_settings s = load_text("[log]\r\ntype=FILE\r\nlevel=Fatal\r\ntwain-level=-1\r\n"
                                     "[twain-app]\r\nlog-all-triple=2\r\nnotify-close=7\r\n"
                                     "[dump]\r\ndumpusb=2\r\n"
                                     "[mem]\r\nmax_img=-5\r\n"
                                     "[cpu]\r\nadvanced=1\r\n");
    // Token comparison is exact: other letter case is item 0.
    expect_log_tokens(s, L"FILE", 0, L"Fatal", 0);
    EXPECT_EQ(-1, s.twain_level);
    // On only when the number is 1.
    EXPECT_FALSE(s.log_all_triple);
    EXPECT_FALSE(s.dump_usb);
    EXPECT_TRUE(s.cpu_advanced);
    // Out-of-range numbers are stored as read; only the combo box limits them.
    EXPECT_EQ(7, s.notify_close);
    EXPECT_EQ(0u, choice_index(cfg::notify_close_modes, s.notify_close));
    EXPECT_EQ(-5, s.max_img);
}

TEST_F(cfg_file_test, EmptyValuesAreEmptyTextNotTheDefault)
{
    const cfg_settings s =
        load_text("[log]\r\ntype=\r\nlevel=\r\npath=\r\n[paths]\r\nfinal_img=\r\n[dump]\r\nusb_path=\r\n");
    expect_log_tokens(s, L"", 0, L"", 0); // not "file" and "all"
    EXPECT_EQ(base_ + L"\\log\\%APPNAME%.log", s.log_path);
    EXPECT_EQ(base_ + L"\\imgs\\", s.final_img);
    EXPECT_EQ(base_ + L"\\imgs\\", s.usb_path);
}

TEST_F(cfg_file_test, DumpFolderFollowsTheImageFolderAsLoaded)
{
    EXPECT_EQ(L"D:\\img", load_text("[paths]\r\nfinal_img=D:\\img\r\n").usb_path);
    EXPECT_EQ(L"D:\\img", load_text("[paths]\r\nfinal_img=D:\\img\r\n[dump]\r\nusb_path=\r\n").usb_path);
    EXPECT_EQ(L"E:\\d", load_text("[paths]\r\nfinal_img=D:\\img\r\n[dump]\r\nusb_path=E:\\d\r\n").usb_path);
}

TEST_F(cfg_file_test, AdvancedOnOnlyWhenOne)
{
    EXPECT_FALSE(load_text("[cpu]\r\nadvanced=0\r\n").cpu_advanced);
    EXPECT_FALSE(load_text("[cpu]\r\nadvanced=2\r\n").cpu_advanced);
    EXPECT_TRUE(load_text("[cpu]\r\nadvanced=1\r\n").cpu_advanced);
    EXPECT_TRUE(load_text("[cpu]\r\n").cpu_advanced);
}

TEST_F(cfg_file_test, LongTextValuesAreReadWhole)
{
    // Around every size the read buffer passes through while it grows.
    for (std::size_t length : {254u, 255u, 256u, 300u, 511u, 512u, 513u, 1023u, 5000u}) {
        std::string value = "D:\\";
        value.resize(length, 'p');
        const cfg_settings s = load_text("[log]\r\npath=" + value + "\r\n[paths]\r\nfinal_img=" + value + "\r\n");
        EXPECT_EQ(std::wstring(value.begin(), value.end()), s.log_path) << length;
        EXPECT_EQ(s.log_path, s.final_img) << length;
        EXPECT_EQ(s.log_path, s.usb_path) << length;
    }
}

// Windows' GetPrivateProfileStringW takes the buffer size modulo 65,536 and gives at
// most 65,535 characters; this stand-in does the same, so that a read asking for more
// shows here as it would there.
const import_patch* profile_string_patch = nullptr;
DWORD largest_size_asked = 0;

DWORD WINAPI profile_string_as_on_windows(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer,
                                          DWORD size, LPCWSTR file)
{
    largest_size_asked = std::max(largest_size_asked, size);
    const DWORD wrapped = size % 65536;
    if (wrapped == 0)
        return 0;
    return reinterpret_cast<decltype(&GetPrivateProfileStringW)>(profile_string_patch->original())(
        section, key, fallback, buffer, wrapped, file);
}

TEST_F(cfg_file_test, ValuesPastWhatTheProfileFunctionsGiveReadAsTheirFirstPart)
{
    const import_patch patch("kernel32.dll", "GetPrivateProfileStringW",
                             reinterpret_cast<const void*>(&profile_string_as_on_windows));
    ASSERT_TRUE(patch.active());
    profile_string_patch = &patch;
    for (std::size_t length : {65534u, 65535u, 65536u, 100000u}) {
        largest_size_asked = 0;
        const std::string value(length, 'p');
        const cfg_settings s = load_text("[log]\r\npath=" + value + "\r\n");
        EXPECT_EQ(std::wstring(std::min<std::size_t>(length, 65534), L'p'), s.log_path) << length;
        EXPECT_LE(largest_size_asked, 65535u) << length;
    }
    profile_string_patch = nullptr;
}

TEST_F(cfg_file_test, LongValueSurvivesBeingWrittenBack)
{
    // The page writes a box back each time the focus leaves it: nothing may be lost.
    const std::wstring value = L"D:\\" + std::wstring(297, L'q');
    ASSERT_TRUE(write_cfg_value(path_, cfg::section_log, cfg::key_log_path, value));
    for (int round = 0; round < 3; ++round) {
        const std::wstring read = loaded(path_).log_path;
        ASSERT_EQ(value, read);
        ASSERT_TRUE(write_cfg_value(path_, cfg::section_log, cfg::key_log_path, read));
    }
}

TEST_F(cfg_file_test, UnicodeFileIsReadInEveryCodePage)
{
    // A UTF-16LE mark is honoured on both systems, under every code page.
    const cfg_settings s = load_text(utf16_bytes(L"[log]\r\npath=D:\\日志\\扫描.log\r\n", utf16::le));
    EXPECT_EQ(L"D:\\日志\\扫描.log", s.log_path);
}

// ---- writing: exact bytes, in place --------------------------------------------------

TEST_F(cfg_file_test, EachWriteOfThePageGivesExactlyItsLine)
{
    const struct {
        const wchar_t *section, *key, *value;
        const char* bytes;
    } cases[] = {
        {cfg::section_log, cfg::key_log_type, L"none", "[log]\r\ntype=none\r\n"},
        {cfg::section_log, cfg::key_log_level, L"fatal", "[log]\r\nlevel=fatal\r\n"},
        {cfg::section_log, cfg::key_log_path, L"D:\\logs\\a.log", "[log]\r\npath=D:\\logs\\a.log\r\n"},
        {cfg::section_log, cfg::key_twain_level, L"-1", "[log]\r\ntwain-level=-1\r\n"},
        {cfg::section_twain_app, cfg::key_log_all_triple, L"1", "[twain-app]\r\nlog-all-triple=1\r\n"},
        {cfg::section_twain_app, cfg::key_notify_close, L"2", "[twain-app]\r\nnotify-close=2\r\n"},
        {cfg::section_paths, cfg::key_final_img, L"D:\\img\\", "[paths]\r\nfinal_img=D:\\img\\\r\n"},
        {cfg::section_dump, cfg::key_dump_usb, L"0", "[dump]\r\ndumpusb=0\r\n"},
        {cfg::section_dump, cfg::key_usb_path, L"E:\\u", "[dump]\r\nusb_path=E:\\u\r\n"},
        {cfg::section_mem, cfg::key_max_img, L"12", "[mem]\r\nmax_img=12\r\n"},
        {cfg::section_cpu, cfg::key_cpu_advanced, L"0", "[cpu]\r\nadvanced=0\r\n"},
        {cfg::section_read_eof, L"a.exe", L"1", "[read_eof]\r\na.exe=1\r\n"},
        // Unusual but harmless texts go through as given.
        {cfg::section_read_eof, L"a[1].exe", L"0", "[read_eof]\r\na[1].exe=0\r\n"},
        {cfg::section_paths, cfg::key_final_img, L"[imgs]%x%", "[paths]\r\nfinal_img=[imgs]%x%\r\n"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::wstring file = dir_.file(L"w" + std::to_wstring(++n) + L".cfg");
        EXPECT_TRUE(write_cfg_value(file, c.section, c.key, c.value)) << c.key;
        EXPECT_EQ(c.bytes, read_file_bytes(file)) << c.key;
    }
}

TEST_F(cfg_file_test, WriteReplacesTheValueInPlaceAndAddsMissingKeys)
{
    ASSERT_TRUE(write_file_bytes(file_, "[log]\r\ntype=file\r\nlevel=all\r\n"));
    ASSERT_TRUE(write_cfg_value(path_, cfg::section_log, cfg::key_log_level, L"fatal"));
    EXPECT_EQ("[log]\r\ntype=file\r\nlevel=fatal\r\n", read_file_bytes(file_));
    ASSERT_TRUE(write_cfg_value(path_, cfg::section_log, cfg::key_twain_level, L"3"));
    EXPECT_EQ("[log]\r\ntype=file\r\nlevel=fatal\r\ntwain-level=3\r\n", read_file_bytes(file_));

    const cfg_settings s = loaded(path_);
    EXPECT_EQ(3u, choice_index(cfg::log_levels, s.log_level));
    EXPECT_EQ(3, s.twain_level);
}

// ---- writing: refused texts never reach the file -------------------------------------

TEST_F(cfg_file_test, RefusedWritesLeaveTheFileByteForByte)
{
    const std::string before = "[log]\r\nlevel=all\r\n[read_eof]\r\na.exe=1\r\n";
    const struct {
        const wchar_t* name;
        std::wstring section, key, value;
    } cases[] = {
        {L"key hiding a section", L"read_eof", L"x.exe\n[log]\nlevel", L"1"},
        {L"key with CR", L"read_eof", L"x.exe\r", L"1"}, {L"key with CR LF", L"read_eof", L"x\r\ny", L"1"},
        {L"value with LF", L"log", L"level", L"all\n[cpu]\nadvanced=0"},
        {L"value with CR", L"log", L"path", L"D:\\a\rb"}, {L"section with LF", L"log\n[cpu]", L"advanced", L"0"},
        {L"section with CR", L"log\r", L"level", L"fatal"}, {L"empty key", L"read_eof", L"", L"1"},
        {L"key of blanks only", L"read_eof", L" \t ", L"1"}, {L"key as header", L"read_eof", L"[log]", L"1"},
        {L"key as header after spaces", L"read_eof", L"  [log]", L"1"},
        {L"key as header after tab", L"read_eof", L"\t[x", L"0"}, {L"key as comment", L"read_eof", L";x.exe", L"1"},
        {L"key as comment after spaces", L"read_eof", L"  ;x.exe", L"1"},
        {L"key with NUL", L"read_eof", std::wstring(L"a.exe\0b", 7), L"1"},
        {L"value with NUL", L"log", L"level", std::wstring(L"fatal\0x", 7)},
    };
    ASSERT_TRUE(write_file_bytes(file_, before));
    for (const auto& c : cases) {
        EXPECT_FALSE(cfg_write_allowed(c.section, c.key, c.value)) << c.name;
        EXPECT_FALSE(write_cfg_value(path_, c.section.c_str(), c.key, c.value)) << c.name;
        EXPECT_EQ(before, read_file_bytes(file_)) << c.name;
    }
}

TEST_F(cfg_file_test, ReadEofTextWithSmuggledLinesWritesOnlyItsSoundLines)
{
    ASSERT_TRUE(write_file_bytes(file_, "[log]\r\nlevel=all\r\n"));
    const auto writes = changed_read_eof_writes(
        L"[read_eof]\r\nx.exe\n[log]\nlevel=fatal\r\n=1\r\n[cpu]=1\r\nb.exe=1\r\n", L"", L"");
    ASSERT_EQ(4u, writes.size());
    int written = 0;
    for (const auto& [key, value] : writes)
        written += write_cfg_value(path_, cfg::section_read_eof, key, value) ? 1 : 0;
    EXPECT_EQ(1, written);
    EXPECT_EQ(L"all", read_cfg_string(path_, cfg::section_log, cfg::key_log_level, L""));
    EXPECT_EQ(1, read_cfg_int(path_, cfg::section_read_eof, L"b.exe", 0));
}

TEST_F(cfg_file_test, WriteToAMissingFolderFailsAndCreatesNothing)
{
    const std::wstring folder = dir_.file(L"NoSuchOem");
    const std::wstring path = folder + L"\\config\\debug.cfg";
    EXPECT_FALSE(write_cfg_value(path, cfg::section_log, cfg::key_log_level, L"fatal"));
    EXPECT_FALSE(file_exists(folder));
    EXPECT_FALSE(file_exists(path));

    EXPECT_EQ(L"all", loaded(path).log_level);
}

// ---- combo indexes -------------------------------------------------------------------

TEST(ComboIndex, TokensCompareExactly)
{
    const std::pair<const wchar_t*, std::size_t> types[] = {
        {L"none", 0}, {L"console", 1}, {L"file", 2}, {L"FILE", 0}, {L"File", 0},
        {L"", 0},     {L"file ", 0},   {L" file", 0}, {L"files", 0}, {L"all", 0},
    };
    for (const auto& [token, index] : types)
        EXPECT_EQ(index, choice_index(cfg::log_types, token)) << token;

    const std::pair<const wchar_t*, std::size_t> levels[] = {
        {L"all", 0},   {L"debug", 1}, {L"warning", 2}, {L"fatal", 3},   {L"FATAL", 0},
        {L"fatal ", 0}, {L"", 0},     {L"warn", 0},    {L"console", 0},
    };
    for (const auto& [token, index] : levels)
        EXPECT_EQ(index, choice_index(cfg::log_levels, token)) << token;
}

TEST(ComboIndex, NotifyCloseOutsideTheItemsShowsTheFirst)
{
    const std::pair<std::int32_t, std::size_t> cases[] = {
        {0, 0}, {1, 1}, {2, 2}, {3, 0}, {7, 0}, {-1, 0}, {INT_MIN, 0}, {INT_MAX, 0},
    };
    for (const auto& [value, index] : cases)
        EXPECT_EQ(index, choice_index(cfg::notify_close_modes, value)) << value;
}

} // namespace
