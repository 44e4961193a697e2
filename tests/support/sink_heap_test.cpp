// multibyte_to_sink keeps texts of up to 254 characters off the heap. This file
// replaces the global allocation functions of the test executable with counting
// versions; only allocations made while `counting` is set are counted.
//
// Every block also carries its size in front and a guard pattern behind it, checked
// when the block is freed: a conversion that writes past the end of its buffer ends
// the test program, in every test of this executable.
#include "support/text_convert.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

bool counting = false;
long allocations = 0;

constexpr std::size_t header_size = 16; // keeps malloc's alignment
constexpr unsigned char guard[8] = {0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69, 0xF0, 0x0F};

void* guarded_alloc(std::size_t size) noexcept
{
    if (counting) ++allocations;
    auto* raw = static_cast<unsigned char*>(std::malloc(header_size + size + sizeof guard));
    if (!raw) return nullptr;
    std::memcpy(raw, &size, sizeof size);
    std::memcpy(raw + header_size + size, guard, sizeof guard);
    return raw + header_size;
}

void* counted_alloc(std::size_t size)
{
    if (void* p = guarded_alloc(size)) return p;
    throw std::bad_alloc();
}

void guarded_free(void* p) noexcept
{
    if (!p) return;
    auto* raw = static_cast<unsigned char*>(p) - header_size;
    std::size_t size = 0;
    std::memcpy(&size, raw, sizeof size);
    if (std::memcmp(raw + header_size + size, guard, sizeof guard) != 0) {
        std::fputs("a write past the end of a heap block\n", stderr);
        std::abort();
    }
    std::free(raw);
}

} // namespace

void* operator new(std::size_t size) { return counted_alloc(size); }
void* operator new[](std::size_t size) { return counted_alloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return guarded_alloc(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return guarded_alloc(size); }
void operator delete(void* p) noexcept { guarded_free(p); }
void operator delete[](void* p) noexcept { guarded_free(p); }
void operator delete(void* p, std::size_t) noexcept { guarded_free(p); }
void operator delete[](void* p, std::size_t) noexcept { guarded_free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { guarded_free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { guarded_free(p); }

namespace {

// Collects the delivery into a string reserved beforehand, so the sink itself
// never allocates while counting.
struct collected {
    std::wstring text;
    int calls = 0;
};

std::int32_t collect(const void* data, std::uint64_t length, std::uint64_t, std::int32_t kind, void* user)
{
    auto* out = static_cast<collected*>(user);
    ++out->calls;
    if (kind == sink_kind_text) out->text.assign(static_cast<const wchar_t*>(data), length / sizeof(wchar_t));
    return 0;
}

struct measured {
    long allocations;
    collected result;
};

template <typename Call>
measured count_during(Call call)
{
    measured m{0, {}};
    m.result.text.reserve(4096);
    allocations = 0;
    counting = true;
    call(m.result);
    counting = false;
    m.allocations = allocations;
    return m;
}

measured sink_of(const std::string& bytes, unsigned code_page)
{
    return count_during([&](collected& out) {
        multibyte_to_sink(bytes.data(), static_cast<std::uint32_t>(bytes.size()), code_page, collect, &out);
    });
}

measured decode_of(const std::string& bytes)
{
    return count_during([&](collected& out) {
        decode_text_bytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()), collect, &out);
    });
}

std::string repeat(const std::string& piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(sink_heap_use, counter_sees_operator_new)
{
    // Guards the other cases: a counter that sees nothing would pass them all.
    const measured m = count_during([](collected& out) { out.text.assign(10000, L'x'); });
    EXPECT_GE(m.allocations, 1);
}

TEST(sink_heap_use, up_to_254_characters_stay_off_the_heap_from_255_one_heap_buffer)
{
    struct row {
        std::string bytes;
        unsigned code_page;
        std::size_t units;
        long allocations;
    };
    const row rows[] = {
        {std::string(1, 'a'), CP_ACP, 1, 0},
        {std::string(254, 'a'), CP_ACP, 254, 0},
        {repeat("\xE6\x93\x8D", 254), CP_UTF8, 254, 0},
        // 127 characters outside the basic plane are 254 UTF-16 units.
        {repeat("\xF0\x9F\x98\x80", 127), CP_UTF8, 254, 0},
        {std::string(255, 'a'), CP_ACP, 255, 1},
        {repeat("\xE6\x93\x8D", 255), CP_UTF8, 255, 1},
        {repeat("\xF0\x9F\x98\x80", 128), CP_UTF8, 256, 1},
        {std::string(3000, 'a'), CP_ACP, 3000, 1},
    };
    for (const row& r : rows) {
        const measured m = sink_of(r.bytes, r.code_page);
        EXPECT_EQ(m.allocations, r.allocations) << r.units << " units";
        EXPECT_EQ(m.result.calls, 1);
        EXPECT_EQ(m.result.text.size(), r.units);
    }
}

TEST(sink_heap_use, text_is_intact_on_both_sides_of_the_threshold)
{
    for (std::size_t count : {253u, 254u, 255u, 256u}) {
        std::string bytes;
        std::wstring expected;
        for (std::size_t i = 0; i < count; ++i) {
            bytes += static_cast<char>('a' + i % 26);
            expected += static_cast<wchar_t>(L'a' + i % 26);
        }
        EXPECT_EQ(sink_of(bytes, CP_ACP).result.text, expected) << count;
    }
}

TEST(sink_heap_use, decode_ansi_254_local_300_heap)
{
    EXPECT_EQ(decode_of(std::string(254, 'x')).allocations, 0);
    EXPECT_EQ(decode_of(std::string(300, 'x')).allocations, 1);
    EXPECT_EQ(decode_of(std::string(300, 'x')).result.text, std::wstring(300, L'x'));
    // After a UTF-8 mark the same limit applies to what follows the mark.
    EXPECT_EQ(decode_of("\xEF\xBB\xBF" + std::string(254, 'x')).allocations, 0);
    EXPECT_EQ(decode_of("\xEF\xBB\xBF" + std::string(255, 'x')).allocations, 1);
}

TEST(sink_heap_use, decode_gbk_254_characters_local_under_936)
{
    if (GetACP() != 936) GTEST_SKIP() << "needs ANSI code page 936";
    const std::string gbk = "\xB2\xD9"; // 操
    EXPECT_EQ(decode_of(repeat(gbk, 254)).allocations, 0);
    const measured m = decode_of(repeat(gbk, 255));
    EXPECT_EQ(m.allocations, 1);
    EXPECT_EQ(m.result.text, std::wstring(255, L'\u64cd'));
}

} // namespace
