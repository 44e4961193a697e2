// Path tidying and parent folders: pure text, no file system.
#include "support/path_normalize.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace {

std::wstring normalized(std::wstring path)
{
    normalize_path(path.data(), 0); // up to the terminator the string keeps
    return path.c_str();
}

std::wstring parent_of(std::wstring path)
{
    parent_folder(path);
    return path;
}

TEST(paths, listed_cases)
{
    // A path, what normalising it gives, and its parent folder; a null column is not checked.
    const struct {
        const wchar_t *input, *normalized, *parent = nullptr;
    } rows[] = {
        {L"", L"", L""},
        // Separators
        {L"C:/a/b", L"C:\\a\\b", L"C:\\a"}, {L"a\\\\\\b", L"a\\b"}, {L"\\\\server\\share", L"\\server\\share"},
        {L"C:\\a\\\\", L"C:\\a\\"}, {L"//", L"\\"}, {L"C:\\a/\\/b", L"C:\\a\\b"},
        // Dot components
        {L"C:\\a\\.\\.\\b", L"C:\\a\\b"}, {L"C:\\a\\.\\", L"C:\\a\\"},
        // Only "." between two backslashes is a component.
        {L"C:\\a\\.", L"C:\\a\\."}, {L".\\a", L".\\a"}, {L"C:\\a\\.b\\c.\\d", L"C:\\a\\.b\\c.\\d"},
        {L"C:\\a\\...\\b", L"C:\\a\\...\\b"},
        // Parent components
        {L"C:\\a\\b\\c\\..\\..\\d", L"C:\\a\\d"}, {L"C:\\a\\..\\b", L"C:\\b"}, {L"C:\\..\\x", L"C:\\..\\x"},
        {L"C:\\a\\..\\..\\b", L"C:\\..\\b"}, {L"\\a\\..\\b", L"\\a\\..\\b"}, {L"\\..\\b", L"\\..\\b"},
        {L"C:\\a\\b\\..", L"C:\\a\\b\\.."}, {L"..\\a", L"..\\a"}, {L"..", L".."}, {L"C:\\a\\..\\", L"C:\\"},
        {L"x\\a\\..\\b", L"x\\b"},
        // The first ".." without a folder before it ends the step: later ones stay.
        {L"a\\..\\b\\c\\..\\d", L"a\\..\\b\\c\\..\\d"}, {L"C:\\x\\..\\..\\y\\z\\..\\w", L"C:\\..\\y\\z\\..\\w"},
        // The steps run in order. Slashes first, so they join the doubled-separator and ".." steps.
        {L"a/\\b", L"a\\b"}, {L"C:\\a/..\\b", L"C:\\b"},
        // Doubled separators before "..": otherwise ".." would take the empty folder between them.
        {L"C:\\a\\\\..\\b", L"C:\\b"},
        // "\.\" before "..": otherwise ".." would take "." as its folder.
        {L"C:\\a\\.\\..\\b", L"C:\\b"}, {L"C:/a/./../b//c", L"C:\\b\\c"},
        // Other characters are untouched.
        {L"c:\\Users\\U\\AppData", L"c:\\Users\\U\\AppData"},
        {L"C:\\VeltaScan\\log\\%APPNAME%.log", L"C:\\VeltaScan\\log\\%APPNAME%.log"},
        {L"D:\\\u626b\u63cf\\\u65e5\u5fd7 x.txt", L"D:\\\u626b\u63cf\\\u65e5\u5fd7 x.txt"},
        // Parent folders
        {L"C:\\a\\b\\", nullptr, L"C:\\a"}, {L"C:\\", nullptr, L"C:"}, {L"debug.cfg", nullptr, L"debug.cfg"},
        {L"\\VeltaScan", nullptr, L""}, {L"C:\\a\\b\\..\\c\\d", nullptr, L"C:\\a\\c"},
        {L"C:\\a\\\\b\\\\", nullptr, L"C:\\a"}, {L"\\\\server\\share\\f", nullptr, L"\\server\\share"},
        // Up from the configuration file, a step at a time.
        {L"C:\\Users\\u\\AppData\\Local\\VeltaScan\\config\\debug.cfg", nullptr,
         L"C:\\Users\\u\\AppData\\Local\\VeltaScan\\config"},
        {L"C:\\Users\\u\\AppData\\Local\\VeltaScan\\config", nullptr, L"C:\\Users\\u\\AppData\\Local\\VeltaScan"},
        {L"C:\\Users\\u\\AppData\\Local\\VeltaScan", nullptr, L"C:\\Users\\u\\AppData\\Local"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(r.input)));
        if (r.normalized) {
            EXPECT_EQ(normalized(r.input), r.normalized);
            EXPECT_EQ(tidy_composed_path(r.input), r.normalized); // the same normalisation
        }
        if (r.parent) {
            EXPECT_EQ(parent_of(r.input), r.parent);
        }
    }
}

TEST(normalize_path, nothing_at_or_beyond_the_capacity_is_read_or_written)
{
    // The character at the capacity is one that normalising would change, so reading it
    // or writing over it shows. The buffer is all of it, NULs and what lies beyond the
    // capacity included.
    const struct {
        std::wstring buffer;
        std::size_t capacity;
        std::wstring expected;
    } rows[] = {
        {std::wstring(L"a//b//c\0ZZ", 10), 5, std::wstring(L"a\\b\\\0/c\0ZZ", 10)},
        // No terminator inside the capacity and nothing to shorten: none is added.
        {L"a/b/Z", 3, L"a\\b/Z"},
        {L"a//b/Z", 4, std::wstring(L"a\\b\0/Z", 6)},
        // An empty path: what follows its terminator is not looked at.
        {std::wstring(L"\0/b", 3), 3, std::wstring(L"\0/b", 3)},
    };
    for (const auto& r : rows) {
        std::wstring buffer = r.buffer;
        normalize_path(buffer.data(), r.capacity);
        EXPECT_EQ(buffer, r.expected) << testing::PrintToString(r.buffer) << ", capacity " << r.capacity;
    }
    normalize_path(nullptr, 0); // no crash

    // A capacity with room to spare, and one that is exactly the path and its terminator.
    wchar_t buffer[260] = L"C:/a//b/./c/../d";
    normalize_path(buffer, 260);
    EXPECT_EQ(std::wstring(buffer), L"C:\\a\\b\\d");

    wchar_t exact[] = L"C:\\a\\..\\b";
    normalize_path(exact, std::size(exact));
    EXPECT_EQ(std::wstring(exact), L"C:\\b");
}

TEST(parent_folder, never_ends_with_backslash_and_stops_at_an_embedded_nul)
{
    for (const wchar_t* input : {L"C:\\a\\", L"C:\\a\\b\\\\", L"a\\\\", L"\\\\", L"C:\\a\\.\\"}) {
        const std::wstring parent = parent_of(input);
        EXPECT_TRUE(parent.empty() || parent.back() != L'\\') << testing::PrintToString(std::wstring(input));
    }
    // Text after an embedded NUL is not path.
    EXPECT_EQ(parent_of(std::wstring(L"C:\\a\\b\0\\x\\y", 11)), L"C:\\a");
    EXPECT_EQ(tidy_composed_path(std::wstring(L"C:\\a\0\\..", 8)), L"C:\\a");
}

// ---- paths longer than 258 characters are handled whole ------------------------------

std::wstring long_folder(std::size_t segments)
{
    std::wstring path = L"C:\\";
    for (std::size_t i = 0; i < segments; ++i) path += L"folder" + std::to_wstring(i % 10) + L"\\";
    return path;
}

TEST(long_paths, normalized_whole_past_300_characters)
{
    const struct {
        std::wstring path, expected;
    } rows[] = {
        // Nothing to tidy: all 3 + 40 * 8 + 9 characters are kept.
        {long_folder(40) + L"debug.cfg", long_folder(40) + L"debug.cfg"},
        // Parent steps and doubled separators.
        {long_folder(38) + L"\\\\extra\\..\\config/./debug.cfg", long_folder(38) + L"config\\debug.cfg"},
    };
    for (const auto& r : rows) {
        ASSERT_GT(r.path.size(), 300u);
        ASSERT_GT(r.expected.size(), 258u);
        EXPECT_EQ(normalized(r.path), r.expected);
        EXPECT_EQ(tidy_composed_path(r.path), r.expected);
    }
}

TEST(long_paths, parent_folder_is_not_cut_past_300_nor_at_the_258_character_limit)
{
    const std::wstring folder = long_folder(40);
    const std::wstring file = folder + L"sub\\\\debug.cfg";
    ASSERT_GT(file.size(), 300u);
    std::wstring path = file;
    parent_folder(path);
    EXPECT_EQ(path, folder + L"sub");
    parent_folder(path);
    EXPECT_EQ(path, folder.substr(0, folder.size() - 1));
    // A long trailing-backslash path, too.
    EXPECT_EQ(parent_of(folder + L"last\\"), folder.substr(0, folder.size() - 1));

    const std::wstring limit = L"C:\\" + std::wstring(250, L'a') + L"\\b\\..";
    ASSERT_EQ(limit.size(), 258u);
    EXPECT_EQ(tidy_composed_path(limit + L"\\c"), L"C:\\" + std::wstring(250, L'a') + L"\\c");
    EXPECT_EQ(parent_of(limit), L"C:\\" + std::wstring(250, L'a') + L"\\b");
}

} // namespace
