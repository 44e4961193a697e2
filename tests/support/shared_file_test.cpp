// Reading a file while others may hold it, and saving a whole file in one step.
#include "support/shared_file.h"

#include "support/file_save.h"

#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using SharedFile = temp_cfg_test;

TEST_F(SharedFile, OpenFailuresGiveTheRuntimesErrorNumbers)
{
    std::string bytes = "stale";
    EXPECT_EQ(ENOENT, read_whole_file(dir.file(L"absent.cfg").c_str(), bytes));
    EXPECT_EQ("", bytes);
    EXPECT_EQ(ENOENT, read_whole_file(dir.file(L"no\\such\\folder.cfg").c_str(), bytes));
    EXPECT_EQ(EACCES, read_whole_file(dir.path().c_str(), bytes)) << "a folder";
    EXPECT_EQ(EINVAL, read_whole_file(static_cast<const wchar_t*>(nullptr), bytes));
    EXPECT_EQ(EINVAL, read_whole_file(static_cast<const char*>(nullptr), bytes));

    shared_file missing(static_cast<const wchar_t*>(nullptr));
    EXPECT_FALSE(missing.is_open());
    char buffer[4];
    EXPECT_EQ(0u, missing.read(buffer, sizeof buffer));
}

TEST_F(SharedFile, WholeFileAcrossChunkSizes)
{
    for (std::size_t size : {0u, 1u, 65535u, 65536u, 65537u, 200000u}) {
        std::string written(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            written[i] = static_cast<char>(i * 31 + i / 977);
        ASSERT_TRUE(write_file_bytes(path, written));
        std::string bytes;
        EXPECT_EQ(0, read_whole_file(path.c_str(), bytes)) << size;
        EXPECT_EQ(written, bytes) << size;
        const shared_file file(path.c_str());
        EXPECT_EQ(size, file.size());
    }
}

// The names in a folder: a save leaves no file of its own behind.
std::vector<std::wstring> names_in(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().wstring());
    return names;
}

TEST(SaveWholeFile, ReplacesInOneStepOrLeavesTheOldFileAsItWas)
{
    const DWORD hidden_system = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const struct {
        const char* label;
        bool exists, held; // held: open elsewhere without delete sharing
        DWORD attributes, expected;
    } cases[] = {
        {"a new file", false, false, 0, 0},
        {"a file replaced", true, false, FILE_ATTRIBUTE_NORMAL, 0},
        {"hidden and system stay", true, false, hidden_system, 0},
        {"read-only is refused", true, false, FILE_ATTRIBUTE_READONLY, ERROR_FILE_READ_ONLY},
        {"held by another program", true, true, FILE_ATTRIBUTE_NORMAL, ERROR_SHARING_VIOLATION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        temp_dir dir;
        const std::wstring path = dir.file(L"debug.cfg");
        if (c.exists) {
            ASSERT_TRUE(write_file_bytes(path, "old\r\n") && SetFileAttributesW(path.c_str(), c.attributes));
        }
        const HANDLE holder = CreateFileW(c.held ? path.c_str() : L"", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(c.expected, save_whole_file(path, "new\n"));
        CloseHandle(holder);
        EXPECT_EQ(c.expected == 0 ? "new\n" : "old\r\n", read_file_bytes(path));
        EXPECT_EQ(std::vector<std::wstring>{L"debug.cfg"}, names_in(dir.path()));
        EXPECT_EQ(c.attributes & hidden_system, GetFileAttributesW(path.c_str()) & hidden_system);
    }
}

TEST(SaveWholeFile, AReaderOfTheOldFileKeepsReadingItAndNoFolderIsMade)
{
    temp_dir dir;
    const std::wstring path = dir.file(L"debug.cfg");
    ASSERT_TRUE(write_file_bytes(path, "old"));
    shared_file reader(path.c_str());
    EXPECT_EQ(0u, save_whole_file(path, "new"));
    char buffer[8] = {};
    EXPECT_EQ("old", std::string(buffer, reader.read(buffer, sizeof buffer))) << "the file was overwritten in place";
    EXPECT_EQ("new", read_file_bytes(path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), save_whole_file(dir.file(L"missing\\debug.cfg"), "new"));
    EXPECT_FALSE(file_exists(dir.file(L"missing")));
}

} // namespace
