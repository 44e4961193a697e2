// Reading debug.cfg as raw bytes in chunks, and the sinks that collect what is read.
#include "config/file_text.h"

#include "tests/common/test_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct chunk_log {
    std::vector<std::uint64_t> lengths, totals;
    std::string bytes;
    std::size_t stop_at_call = 0; // 1-based; 0 never stops
    std::int32_t result = sink_stop;
};

std::int32_t log_chunk(const void* data, std::uint64_t length, std::uint64_t total, std::int32_t kind, void* context)
{
    auto& log = *static_cast<chunk_log*>(context);
    EXPECT_EQ(sink_kind_text, kind);
    log.lengths.push_back(length);
    log.totals.push_back(total);
    log.bytes.append(static_cast<const char*>(data), static_cast<std::size_t>(length));
    return log.lengths.size() == log.stop_at_call ? log.result : 0;
}

std::string pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

using FileText = temp_cfg_test;

TEST_F(FileText, ChunksCoverTheFileWithItsSizeAsTotal)
{
    const struct {
        std::size_t size;
        std::vector<std::uint64_t> lengths;
    } cases[] = {
        {0, {}},         {1, {1}},          {1023, {1023}}, {1024, {1024}}, {1025, {1024, 1}},
        {3000, {1024, 1024, 952}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string bytes = pattern(c.size);
        ASSERT_TRUE(write_file_bytes(path, bytes));
        chunk_log log;
        EXPECT_EQ(0, read_file_chunks(path.c_str(), log_chunk, &log));
        EXPECT_EQ(c.lengths, log.lengths);
        EXPECT_EQ(std::vector<std::uint64_t>(c.lengths.size(), c.size), log.totals);
        EXPECT_EQ(bytes, log.bytes);
    }
}

TEST_F(FileText, OnlyTheStopResultEndsTheReading)
{
    ASSERT_TRUE(write_file_bytes(path, pattern(3000)));
    const struct {
        std::size_t stop_at_call;
        std::int32_t result;
        std::size_t calls;
    } cases[] = {{1, sink_stop, 1}, {2, sink_stop, 2}, {1, -1, 3}, {1, 98, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stop_at_call << " " << c.result);
        chunk_log log;
        log.stop_at_call = c.stop_at_call;
        log.result = c.result;
        EXPECT_EQ(0, read_file_chunks(path.c_str(), log_chunk, &log));
        EXPECT_EQ(c.calls, log.lengths.size());
    }
}

TEST_F(FileText, OpenFailureReturnsErrnoAndDeliversNothing)
{
    chunk_log log;
    EXPECT_EQ(ENOENT, read_file_chunks(dir.file(L"absent.cfg").c_str(), log_chunk, &log));
    EXPECT_TRUE(log.lengths.empty());
    EXPECT_EQ(status_invalid_parameter, read_file_chunks(nullptr, log_chunk, &log));
    EXPECT_EQ(status_invalid_parameter, read_file_chunks(path.c_str(), nullptr, &log));
}

TEST(CollectSinks, AppendWhatTheyAreGiven)
{
    std::string bytes = "ab";
    EXPECT_EQ(0, collect_bytes("c\0d", 3, 9, sink_kind_text, &bytes));
    EXPECT_EQ("abc\0d"s, bytes);

    const wchar_t units[] = L"xyz";
    std::wstring text = L"w";
    EXPECT_EQ(0, collect_wide_text(units, 5, 5, sink_kind_text, &text)); // odd byte dropped
    EXPECT_EQ(L"wxy", text);
    // A report carries a code in `length`, never text.
    EXPECT_EQ(0, collect_wide_text(units, report_text_too_short, 0, sink_kind_report, &text));
    EXPECT_EQ(L"wxy", text);
}

} // namespace
