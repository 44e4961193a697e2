// Putting text on the clipboard: every failed step says so, closes the clipboard again
// (left open, it blocks copying in every other program) and leaks no memory.
#include "tests/dialogs/dialog_helpers.h"
#include "tests/dialogs/import_patch.h"

#include "dialogs/clipboard_text.h"
#include "resources/resource.h"
#include "tests/common/clipboard.h"

#include <gtest/gtest.h>

namespace {

HANDLE refused_memory = nullptr;
int busy_openings = 0; // OpenClipboard calls to refuse before letting them through
const import_patch* open_spy = nullptr;

HGLOBAL WINAPI refuse_global_alloc(UINT, SIZE_T) { return nullptr; }
BOOL WINAPI refuse_open_clipboard(HWND) { return FALSE; }
BOOL WINAPI open_clipboard_once_free(HWND owner)
{
    if (busy_openings-- > 0)
        return FALSE;
    return reinterpret_cast<decltype(&OpenClipboard)>(open_spy->original())(owner);
}
BOOL WINAPI refuse_empty_clipboard() { return FALSE; }
HANDLE WINAPI refuse_set_clipboard_data(UINT, HANDLE memory)
{
    refused_memory = memory;
    return nullptr;
}

} // namespace

TEST(put_clipboard_text, EveryFailedStepReportsFailureAndClosesTheClipboard)
{
    recording_dialog owner(IDD_MAIN, nullptr);
    ASSERT_NE(owner.create(), nullptr);
    const struct {
        const char *module, *function;
        const void* replacement;
        bool keeps_old_text; // a refused SetClipboardData comes after the emptying
    } cases[] = {
        {"kernel32.dll", "GlobalAlloc", reinterpret_cast<const void*>(&refuse_global_alloc), true},
        {"user32.dll", "OpenClipboard", reinterpret_cast<const void*>(&refuse_open_clipboard), true},
        {"user32.dll", "EmptyClipboard", reinterpret_cast<const void*>(&refuse_empty_clipboard), true},
        {"user32.dll", "SetClipboardData", reinterpret_cast<const void*>(&refuse_set_clipboard_data), false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(put_clipboard_text(owner.hwnd, L"旧\r\n"));
        ASSERT_EQ(clipboard_text(), L"旧\r\n");
        {
            const import_patch patch(c.module, c.function, c.replacement);
            ASSERT_TRUE(patch.active()) << c.function;
            EXPECT_FALSE(put_clipboard_text(owner.hwnd, L"新\r\n")) << c.function;
        }
        EXPECT_EQ(GetOpenClipboardWindow(), nullptr) << c.function;
        if (c.keeps_old_text) {
            EXPECT_EQ(clipboard_text(), L"旧\r\n") << c.function;
        }
    }
    // The memory the clipboard refused is still the program's own to free.
    ASSERT_NE(refused_memory, nullptr);
    EXPECT_EQ(GlobalFlags(refused_memory), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

// Clipboard viewers open the clipboard for a moment after each change: a copy right
// behind another must wait for it, not be lost.
TEST(put_clipboard_text, WaitsForAClipboardThatAnotherProgramHoldsForAMoment)
{
    recording_dialog owner(IDD_MAIN, nullptr);
    ASSERT_NE(owner.create(), nullptr);
    const import_patch patch("user32.dll", "OpenClipboard", &open_clipboard_once_free);
    open_spy = &patch;
    ASSERT_TRUE(patch.active());
    busy_openings = 2;
    EXPECT_TRUE(put_clipboard_text(owner.hwnd, L"新\r\n"));
    EXPECT_EQ(busy_openings, -1); // two refused, then one that opened
    EXPECT_EQ(clipboard_text(), L"新\r\n");
}
