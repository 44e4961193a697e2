// Reading a file while others may hold it: what a failed open reports.
#include "support/shared_file.h"

#include "tests/common/test_files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TEST(SharedFile, OpenFailuresGiveTheRuntimesErrorNumbers)
{
    temp_dir dir;
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

TEST(SharedFile, WholeFileAcrossChunkSizes)
{
    temp_dir dir;
    const std::wstring path = dir.file(L"debug.cfg");
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

} // namespace
