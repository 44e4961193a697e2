// A control the user did not change writes nothing, and what the user changed never
// damages the file. The oracle is the file on disk: its bytes, and what the profile
// functions read from it; never the page's own loader.
#include "tests/adv_cfg/page_fixture.h"

#include "config/write_rule.h"
#include "resources/resource.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const int boxes[] = {IDC_LOG_PATH, IDC_TWAIN_LEVEL, IDC_FINAL_IMG, IDC_USB_PATH,
                     IDC_MAX_IMG,  IDC_READ_EOF_TEXT, IDC_CFG_CONTENT};
const int combos[] = {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE};

// Text given in UTF-8, stored in the ANSI code page (as the profile functions keep it).
std::string ansi(const char* utf8) { return wide_to_code_page(w(utf8), CP_ACP); }

std::wstring profile_string(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    std::wstring value(4096, L'\0');
    value.resize(GetPrivateProfileStringW(section, key, L"<absent>", &value[0], 4096, path.c_str()));
    return value;
}

struct corpus_file {
    const char* name;
    std::string bytes;
};

// Files as users, editors, the driver and hostile hands leave them.
std::vector<corpus_file> corpus()
{
    const std::string long_name = std::string(280, 'p') + "\\scan.exe";
    const std::wstring chinese = w("[log]\r\ntype=console\r\npath=D:\\扫描日志\\扫描仪.log\r\n"
                                   "[read_eof]\r\n扫描仪.exe=1\r\nb.exe=0\r\n");
    return {
        {"no keys at all", ""},
        {"every key", "[log]\r\ntype=file\r\nlevel=debug\r\npath=D:\\log\\a.log\r\ntwain-level=3\r\n"
                      "[twain-app]\r\nlog-all-triple=1\r\nnotify-close=2\r\n[paths]\r\nfinal_img=D:\\img\r\n"
                      "[dump]\r\ndumpusb=1\r\nusb_path=E:\\usb\r\n[mem]\r\nmax_img=2048\r\n[cpu]\r\nadvanced=0\r\n"
                      "[read_eof]\r\na.exe=1\r\nb.exe=0\r\n"},
        {"numbers the boxes cannot show as written",
         "[log]\r\ntwain-level=12abc\r\n[mem]\r\nmax_img=-1\r\n[dump]\r\ndumpusb=1\r\n"},
        {"numbers past 32 bits", "[log]\r\ntwain-level=4294967296\r\n[mem]\r\nmax_img=99999999999\r\n"},
        {"hexadecimal number", "[mem]\r\nmax_img=0x10\r\n"},
        {"tokens the combos do not list", "[log]\r\ntype=FILE\r\nlevel=Debug\r\n[twain-app]\r\nnotify-close=7\r\n"},
        {"negative notify-close", "[twain-app]\r\nnotify-close=-1\r\n"},
        {"empty values", "[log]\r\ntype=\r\nlevel=\r\npath=\r\n[paths]\r\nfinal_img=\r\n[dump]\r\nusb_path=\r\n"},
        {"quoted values", "[log]\r\npath=\"D:\\a b\\x.log\"\r\n[paths]\r\nfinal_img='D:\\img'\r\n"},
        {"blanks around values", "[log]\r\npath =  D:\\x.log   \r\n[mem]\r\nmax_img = 64 \r\n"},
        {"duplicate read_eof key", "[read_eof]\r\na.exe=1\r\na.exe=0\r\n"},
        {"two read_eof sections", "[read_eof]\r\na.exe=1\r\n[log]\r\nlevel=all\r\n[read_eof]\r\nb.exe=0\r\n"},
        {"process name longer than a line buffer", "[read_eof]\r\n" + long_name + "=1\r\nz.exe=0\r\n"},
        {"read_eof in other case", "[READ_EOF]\r\na.exe=1\r\n"},
        {"comments and odd lines",
         "; note\r\n# hash\r\n[read_eof] // x\r\n;semi.exe=1\r\n#c.exe=1\r\n//d.exe=1\r\nno-equals\r\n\r\n"
         "[read_eof\r\nx=1\r\n"},
        {"line ends LF only, no final line end", "[log]\nlevel=fatal\n[read_eof]\na.exe=1"},
        {"hostile control characters", "[read_eof]\r\n\v[log]=1\r\n\f[cpu]=0\r\n\x1A[mem]=1\r\n[log]\r\nlevel=warning\r\n"},
        {"Chinese in the ANSI code page", wide_to_code_page(chinese, CP_ACP)},
        {"UTF-8 without a mark", wide_to_code_page(chinese, CP_UTF8)},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + wide_to_code_page(chinese, CP_UTF8)},
        {"UTF-16LE", utf16_bytes(chinese + w("[dump]\r\nusb_path=D:\\\u0e01\r\n"), utf16::le)},
        {"UTF-16BE", utf16_bytes(chinese, utf16::be)},
        {"zero bytes", "[log]\r\nlevel=fatal\0junk\r\n[mem]\r\nmax_img=5\r\n"s},
        {"full-width brackets", wide_to_code_page(L"[read_eof]\r\n\xFF3Blog\xFF3D=1\r\n", CP_ACP)},
    };
}

} // namespace

class adv_cfg_integrity : public page_fixture {
protected:
    // Every box passed through, and touched without a net change (the edited mark set,
    // the text as shown); every combo box re-selecting the item it shows.
    void pass_through_everything()
    {
        for (int id : boxes) {
            if (!enabled(id))
                continue; // a disabled box cannot take the focus
            leave(id);
            retype(id);
        }
        for (int id : combos)
            choose(id, selection(id));
    }
};

TEST_F(adv_cfg_integrity, passing_through_the_page_leaves_every_file_byte_for_byte)
{
    for (const corpus_file& file : corpus()) {
        SCOPED_TRACE(file.name);
        prepare(file.bytes);
        open_page();
        pass_through_everything();
        EXPECT_EQ(file_bytes(), file.bytes);
        TearDown();
    }
    // Without a file nothing is created either.
    DeleteFileW(cfg_file().c_str());
    open_page();
    pass_through_everything();
    EXPECT_FALSE(file_present());
}

TEST_F(adv_cfg_integrity, a_box_not_edited_keeps_what_another_program_wrote)
{
    prepare("[mem]\r\nmax_img=1000\r\n");
    open_page();
    prepare("[mem]\r\nmax_img=500\r\n");
    leave(IDC_MAX_IMG); // still shows 1000, but the user did not touch it
    EXPECT_EQ(file_bytes(), "[mem]\r\nmax_img=500\r\n");
    type(IDC_MAX_IMG, L"500"); // what the file holds now: nothing to write
    EXPECT_EQ(file_bytes(), "[mem]\r\nmax_img=500\r\n");
    type(IDC_MAX_IMG, L"700");
    EXPECT_EQ(file_bytes(), "[mem]\r\nmax_img=700\r\n");

    // The process list: a line the user added is written, and only that line, though the
    // box still shows a.exe as it was before another program changed it.
    prepare("[read_eof]\r\na.exe=1\r\nb.exe=0\r\n");
    page->refresh_controls();
    prepare("[read_eof]\r\na.exe=0\r\nb.exe=0\r\n");
    type(IDC_READ_EOF_TEXT, text(IDC_READ_EOF_TEXT) + L"c.exe=1\r\n");
    EXPECT_EQ(file_bytes(), "[read_eof]\r\na.exe=0\r\nb.exe=0\r\nc.exe=1\r\n");

    // A check box ticked to what the file already holds: nothing to write.
    prepare("[mem]\r\nmax_img=700\r\n[cpu]\r\nadvanced=00\r\n");
    tick(IDC_CPU_ADVANCED, false); // the page still showed it on
    EXPECT_EQ(file_bytes(), "[mem]\r\nmax_img=700\r\n[cpu]\r\nadvanced=00\r\n");

    // The dump folder box follows its check box even when nothing needs writing.
    EXPECT_FALSE(enabled(IDC_USB_PATH));
    prepare("[dump]\r\ndumpusb=01\r\n");
    tick(IDC_DUMP_USB, true);
    EXPECT_EQ(file_bytes(), "[dump]\r\ndumpusb=01\r\n");
    EXPECT_TRUE(enabled(IDC_USB_PATH));
    // Another check box leaves it alone.
    tick(IDC_LOG_ALL_TRIPLE, true);
    EXPECT_TRUE(enabled(IDC_USB_PATH));
    tick(IDC_DUMP_USB, false);
    tick(IDC_CPU_ADVANCED, true);
    EXPECT_FALSE(enabled(IDC_USB_PATH));
}

TEST_F(adv_cfg_integrity, number_boxes_and_the_file_are_a_fixed_point)
{
    const struct {
        const char* stored;
        const wchar_t* shown;
    } cases[] = {
        {"-1", L"4294967295"}, {"-5", L"4294967291"}, {"-2147483648", L"2147483648"},
        {"2147483647", L"2147483647"}, {"0", L"0"}, {"64", L"64"},
    };
    prepare("");
    open_page();
    for (const auto& c : cases) {
        for (int id : {IDC_MAX_IMG, IDC_TWAIN_LEVEL}) {
            SCOPED_TRACE(testing::Message() << id << " " << c.stored);
            const wchar_t* key = id == IDC_MAX_IMG ? L"max_img" : L"twain-level";
            const wchar_t* section = id == IDC_MAX_IMG ? L"mem" : L"log";
            // Typing what the box shows for a number stores that number...
            type(id, c.shown);
            EXPECT_EQ(profile_string(cfg_file(), section, key), w(c.stored));
            EXPECT_EQ(text(id), c.shown);
            // ...and leaving it as shown stores nothing more.
            const std::string before = file_bytes();
            retype(id);
            EXPECT_EQ(file_bytes(), before);
        }
    }
}

TEST_F(adv_cfg_integrity, long_process_names_stay_whole)
{
    const std::string name = std::string(300, 'p') + "\\scan.exe";
    prepare("[read_eof]\r\n" + name + "=1\r\n");
    open_page();
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n" + w(name.c_str()) + L"=1\r\n");
    type(IDC_READ_EOF_TEXT, L"[read_eof]\r\n" + w(name.c_str()) + L"=0\r\n");
    EXPECT_EQ(file_bytes(), "[read_eof]\r\n" + name + "=0\r\n");
    EXPECT_EQ(text(IDC_READ_EOF_TEXT), L"[read_eof]\r\n" + w(name.c_str()) + L"=0\r\n");
}

TEST_F(adv_cfg_integrity, read_eof_lines_cannot_inject_headers_or_comments)
{
    const std::string file = "[log]\r\nlevel=debug\r\n[read_eof]\r\na.exe=1\r\n";
    std::wstring typed = L"[read_eof]\r\na.exe=1\r\n\v[log]=1\r\n\f[log]=1\r\n\x1A[log]=1\r\n\x3000[log]=1\r\n"
                         L"\xFF3Blog\xFF3D=1\r\n#x.exe=1\r\n//y.exe=1\r\n;new.exe=1\r\n";
    prepare(file);
    open_page();
    type(IDC_READ_EOF_TEXT, typed);
    // Under code page 936 the full-width brackets are ordinary characters of the name.
    const bool brackets_held = GetACP() == 936;
    EXPECT_EQ(file_bytes(), file + (brackets_held ? ansi("［log］=1\r\n") : ""));
    EXPECT_EQ(selection(IDC_LOG_LEVEL), 1);
    // A later level write still lands in the one [log] section.
    choose(IDC_LOG_LEVEL, 3);
    EXPECT_EQ(profile_string(cfg_file(), L"log", L"level"), L"fatal");
    EXPECT_EQ(file_bytes().find("level=debug"), std::string::npos);
}

TEST_F(adv_cfg_integrity, text_the_file_cannot_hold_is_refused_and_the_box_returns)
{
    const std::wstring thai = L"D:\\\x0E01\x0E02";
    // An ANSI file: neither 936 nor 1252 has Thai.
    prepare("[paths]\r\nfinal_img=D:\\img\r\n");
    open_page();
    type(IDC_FINAL_IMG, thai);
    EXPECT_EQ(file_bytes(), "[paths]\r\nfinal_img=D:\\img\r\n");
    EXPECT_EQ(text(IDC_FINAL_IMG), L"D:\\img");
    TearDown();

    // A UTF-16LE file holds it exactly.
    prepare(utf16_bytes(L"[paths]\r\nfinal_img=D:\\img\r\n", utf16::le));
    open_page();
    type(IDC_FINAL_IMG, thai);
    EXPECT_EQ(profile_string(cfg_file(), L"paths", L"final_img"), thai);
    EXPECT_EQ(text(IDC_FINAL_IMG), thai);
}

TEST_F(adv_cfg_integrity, a_file_the_rewrite_would_damage_is_not_written)
{
    if (running_profile_system() != profile_system::wine)
        GTEST_SKIP() << "only Wine rewrites the whole file";
    // UTF-8 without a mark under 936: its bytes are no GBK text, a rewrite would garble it.
    const std::string utf8 =
        wide_to_code_page(w("[log]\r\npath=D:\\扫描日志\\扫描仪.log\r\n[read_eof]\r\n扫描仪.exe=1\r\n"), CP_UTF8);
    const struct {
        const char* name;
        std::string bytes;
        bool applies;
    } files[] = {
        {"UTF-8 under 936", utf8, GetACP() == 936},
        {"zero bytes", "[log]\r\nlevel=all\0x\r\n"s, true},
        {"UTF-16BE", utf16_bytes(L"[log]\r\nlevel=all\r\n", utf16::be), true},
    };
    for (const auto& f : files) {
        if (!f.applies)
            continue;
        SCOPED_TRACE(f.name);
        prepare(f.bytes);
        open_page();
        type(IDC_MAX_IMG, L"64");
        choose(IDC_LOG_LEVEL, 3);
        tick(IDC_CPU_ADVANCED, false);
        type(IDC_READ_EOF_TEXT, L"[read_eof]\r\nnew.exe=1\r\n");
        EXPECT_EQ(file_bytes(), f.bytes);
        EXPECT_EQ(text(IDC_MAX_IMG), L"1000") << "the box shows the file again";
        TearDown();
    }
}
