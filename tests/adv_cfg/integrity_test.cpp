// A control the user did not change writes nothing, and what the user changed never
// damages the file. The oracle is the file on disk: its bytes, and what the profile
// functions read from it; never the page's own loader.
#include "tests/adv_cfg/page_fixture.h"

#include "config/write_rule.h"
#include "resources/resource.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

namespace {

const int boxes[] = {IDC_LOG_PATH, IDC_TWAIN_LEVEL, IDC_FINAL_IMG, IDC_USB_PATH,
                     IDC_MAX_IMG,  IDC_READ_EOF_TEXT, IDC_CFG_CONTENT};
const int combos[] = {IDC_LOG_TYPE, IDC_LOG_LEVEL, IDC_NOTIFY_CLOSE};

// Text given in UTF-8, stored in the ANSI code page (as the profile functions keep it).
std::string ansi(const char* utf8) { return wide_to_code_page(w(utf8), CP_ACP); }

struct corpus_file {
    const char* name;
    std::string bytes;
};

// Files as users, editors, the driver and hostile hands leave them: golden files, and
// two texts in the ANSI code page of the run (GBK bytes under 936, substitutes and
// look-alikes under 1252).
std::vector<corpus_file> corpus()
{
    const char* const fixtures[] = {
        "empty.cfg", "every_key.cfg", "numbers_not_shown_as_written.cfg", "numbers_past_32_bits.cfg",
        "hexadecimal_number.cfg", "tokens_not_listed.cfg", "notify_close_negative.cfg", "empty_values.cfg",
        "quoted_values.cfg", "blanks_around_values.cfg", "duplicate_key_other_value.cfg",
        "two_read_eof_sections.cfg", "process_name_of_289_bytes.cfg", "read_eof_in_other_case.cfg",
        "comments_and_odd_lines.cfg", "lf_only_no_final_line_end.cfg", "control_characters.cfg",
        "chinese_utf8.cfg", "chinese_utf8_mark.cfg", "chinese_utf16le.cfg", "chinese_utf16be.cfg",
        "zero_bytes.cfg",
    };
    std::vector<corpus_file> files;
    for (const char* name : fixtures)
        files.push_back({name, fixture_bytes(name)});
    const std::wstring chinese = w("[log]\r\ntype=console\r\npath=D:\\扫描日志\\扫描仪.log\r\n"
                                   "[read_eof]\r\n扫描仪.exe=1\r\nb.exe=0\r\n");
    files.push_back({"Chinese in the ANSI code page", wide_to_code_page(chinese, CP_ACP)});
    files.push_back({"full-width brackets", wide_to_code_page(L"[read_eof]\r\n\xFF3Blog\xFF3D=1\r\n", CP_ACP)});
    return files;
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
        open_page(file.bytes);
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
    open_page("[mem]\r\nmax_img=1000\r\n");
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
    // A line the file now holds (here in a second section, which the profile functions
    // would not see) is not written into the first.
    const std::string two_sections = "[read_eof]\r\na.exe=0\r\n[log]\r\nlevel=all\r\n[read_eof]\r\nd.exe=1\r\n";
    prepare(two_sections);
    type(IDC_READ_EOF_TEXT, text(IDC_READ_EOF_TEXT) + L"d.exe=1\r\n");
    EXPECT_EQ(file_bytes(), two_sections);

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
    // What the file holds, and what the box shows for it.
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"-1", L"4294967295"}, {"-5", L"4294967291"}, {"-2147483648", L"2147483648"},
        {"2147483647", L"2147483647"}, {"0", L"0"}, {"64", L"64"},
    };
    open_page("");
    for (const auto& [stored, shown] : cases) {
        for (int id : {IDC_MAX_IMG, IDC_TWAIN_LEVEL}) {
            SCOPED_TRACE(testing::Message() << id << " " << stored);
            const wchar_t* key = id == IDC_MAX_IMG ? L"max_img" : L"twain-level";
            const wchar_t* section = id == IDC_MAX_IMG ? L"mem" : L"log";
            // Typing what the box shows for a number stores that number...
            type(id, shown);
            EXPECT_EQ(profile_string(cfg_file(), section, key), w(stored));
            EXPECT_EQ(text(id), shown);
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
    open_page("[read_eof]\r\n" + name + "=1\r\n");
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
    open_page(file);
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
    open_page("[paths]\r\nfinal_img=D:\\img\r\n");
    type(IDC_FINAL_IMG, thai);
    EXPECT_EQ(file_bytes(), "[paths]\r\nfinal_img=D:\\img\r\n");
    EXPECT_EQ(text(IDC_FINAL_IMG), L"D:\\img");

    // A UTF-16LE file holds it exactly.
    open_page(utf16_bytes(L"[paths]\r\nfinal_img=D:\\img\r\n", utf16::le));
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
        open_page(f.bytes);
        type(IDC_MAX_IMG, L"64");
        choose(IDC_LOG_LEVEL, 3);
        tick(IDC_CPU_ADVANCED, false);
        type(IDC_READ_EOF_TEXT, L"[read_eof]\r\nnew.exe=1\r\n");
        EXPECT_EQ(file_bytes(), f.bytes);
        EXPECT_EQ(text(IDC_MAX_IMG), L"1000") << "the box shows the file again";
    }
}
