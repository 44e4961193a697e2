// A window's device context for the object's lifetime, if asked with the window's own
// font selected into it; both are handed back on scope exit.
#pragma once

#include <windows.h>

class window_dc {
public:
    explicit window_dc(HWND window, bool with_window_font = false) : window_(window), dc_(GetDC(window))
    {
        const auto font = with_window_font ? reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)) : nullptr;
        // No font set means the system font, which the context already has.
        if (dc_ && font)
            old_font_ = SelectObject(dc_, font);
    }
    ~window_dc()
    {
        if (old_font_)
            SelectObject(dc_, old_font_);
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ old_font_ = nullptr;
};
