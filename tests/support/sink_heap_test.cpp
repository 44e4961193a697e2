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

// The library's array, sized and non-throwing forms all come here.
void* operator new(std::size_t size)
{
    if (void* p = guarded_alloc(size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { guarded_free(p); }
void operator delete(void* p, std::size_t) noexcept { guarded_free(p); }

namespace {

// One delivery and the heap blocks taken meanwhile. The text is reserved beforehand, so
// the sink itself never allocates while counting.
struct measured {
    long allocations = 0;
    std::wstring text;
    int calls = 0;
};

std::int32_t collect(const void* data, std::uint64_t length, std::uint64_t, std::int32_t kind, void* user)
{
    auto* out = static_cast<measured*>(user);
    ++out->calls;
    if (kind == sink_kind_text) out->text.assign(static_cast<const wchar_t*>(data), length / sizeof(wchar_t));
    return 0;
}

template <typename Call>
measured count_during(Call call)
{
    measured m;
    m.text.reserve(4096);
    allocations = 0;
    counting = true;
    call(m);
    counting = false;
    m.allocations = allocations;
    return m;
}

template <typename text>
text repeat(const text& piece, std::size_t times)
{
    text whole;
    for (std::size_t i = 0; i < times; ++i) whole += piece;
    return whole;
}

TEST(sink_heap_use, counter_sees_operator_new)
{
    // Guards the other cases: a counter that sees nothing would pass them all.
    const measured m = count_during([](measured& out) { out.text.assign(10000, L'x'); });
    EXPECT_GE(m.allocations, 1);
}

TEST(sink_heap_use, up_to_254_characters_stay_off_the_heap_from_255_one_heap_buffer)
{
    enum class through { sink, decode };
    struct row {
        through call;
        std::string bytes;
        unsigned code_page; // multibyte_to_sink's; decode_text_bytes takes the mark's or the ANSI one
        std::wstring text;
        long allocations;
    };
    const std::string mark = "\xEF\xBB\xBF", operate_utf8 = "\xE6\x93\x8D", smiley_utf8 = "\xF0\x9F\x98\x80";
    const std::wstring operate = L"\u64cd", smiley = L"\xD83D\xDE00";
    // 'a' to 'z' over and over.
    const std::string letters = repeat(std::string("abcdefghijklmnopqrstuvwxyz"), 10);
    const std::wstring wide_letters(letters.begin(), letters.end());
    const row rows[] = {
        {through::sink, "a", CP_ACP, L"a", 0},
        {through::sink, std::string(254, 'a'), CP_ACP, std::wstring(254, L'a'), 0},
        {through::sink, repeat(operate_utf8, 254), CP_UTF8, repeat(operate, 254), 0},
        // 127 characters outside the basic plane are 254 UTF-16 units.
        {through::sink, repeat(smiley_utf8, 127), CP_UTF8, repeat(smiley, 127), 0},
        {through::sink, std::string(255, 'a'), CP_ACP, std::wstring(255, L'a'), 1},
        {through::sink, repeat(operate_utf8, 255), CP_UTF8, repeat(operate, 255), 1},
        {through::sink, repeat(smiley_utf8, 128), CP_UTF8, repeat(smiley, 128), 1},
        {through::sink, std::string(3000, 'a'), CP_ACP, std::wstring(3000, L'a'), 1},
        // The text is intact on both sides of the threshold.
        {through::sink, letters.substr(0, 253), CP_ACP, wide_letters.substr(0, 253), 0},
        {through::sink, letters.substr(0, 254), CP_ACP, wide_letters.substr(0, 254), 0},
        {through::sink, letters.substr(0, 255), CP_ACP, wide_letters.substr(0, 255), 1},
        {through::sink, letters.substr(0, 256), CP_ACP, wide_letters.substr(0, 256), 1},
        {through::decode, std::string(254, 'x'), CP_ACP, std::wstring(254, L'x'), 0},
        {through::decode, std::string(300, 'x'), CP_ACP, std::wstring(300, L'x'), 1},
        // After a UTF-8 mark the same limit applies to what follows the mark.
        {through::decode, mark + std::string(254, 'x'), CP_UTF8, std::wstring(254, L'x'), 0},
        {through::decode, mark + std::string(255, 'x'), CP_UTF8, std::wstring(255, L'x'), 1},
        // 操 in GBK, without a mark: read by the ANSI code page 936 only.
        {through::decode, repeat(std::string("\xB2\xD9"), 254), 936, repeat(operate, 254), 0},
        {through::decode, repeat(std::string("\xB2\xD9"), 255), 936, repeat(operate, 255), 1},
    };
    for (const row& r : rows) {
        if (r.code_page == 936 && GetACP() != 936) continue;
        const measured m = count_during([&](measured& out) {
            const auto size = static_cast<std::uint32_t>(r.bytes.size());
            if (r.call == through::sink)
                multibyte_to_sink(r.bytes.data(), size, r.code_page, collect, &out);
            else
                decode_text_bytes(r.bytes.data(), size, collect, &out);
        });
        EXPECT_EQ(m.allocations, r.allocations) << "row " << &r - rows;
        EXPECT_EQ(m.calls, 1) << "row " << &r - rows;
        EXPECT_EQ(m.text, r.text) << "row " << &r - rows;
    }
}

} // namespace
