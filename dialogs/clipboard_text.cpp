#include "dialogs/clipboard_text.h"

#include <cstring>
#include <memory>

namespace {

struct global_freer {
    void operator()(void* memory) const { GlobalFree(memory); }
};
using unique_global = std::unique_ptr<void, global_freer>;

// The clipboard, open for as long as the object lives: every way out closes it again,
// since a clipboard left open blocks copying in every other program. Clipboard viewers
// and history tools open it for a moment after every change, so a busy clipboard is
// tried a few times before the copy is given up.
class open_clipboard {
public:
    explicit open_clipboard(HWND owner)
    {
        for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
            if (attempt > 0)
                Sleep(5);
            open_ = OpenClipboard(owner) != FALSE;
        }
    }
    ~open_clipboard()
    {
        if (open_)
            CloseClipboard();
    }
    open_clipboard(const open_clipboard&) = delete;
    open_clipboard& operator=(const open_clipboard&) = delete;

    bool is_open() const { return open_; }

private:
    bool open_ = false;
};

} // namespace

bool put_clipboard_text(HWND owner, const std::wstring& text)
{
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    unique_global memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* target = GlobalLock(memory.get());
    if (!target)
        return false;
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory.get());

    const open_clipboard clipboard(owner);
    if (!clipboard.is_open() || !EmptyClipboard())
        return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false; // still ours: freed on the way out
    memory.release(); // the clipboard owns it now
    return true;
}
