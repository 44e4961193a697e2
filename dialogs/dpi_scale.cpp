#include "dialogs/dpi_scale.h"

#include "dialogs/window_dc.h"

namespace {

using get_dpi_for_window_fn = UINT(WINAPI*)(HWND);

// Looked up at run time: Windows 7 and 8 do not export it.
get_dpi_for_window_fn dpi_for_window_function()
{
    static const get_dpi_for_window_fn function = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        FARPROC address = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
        // Through the generic function pointer type, which every function pointer
        // converts to and from without a type-mismatch warning.
        return reinterpret_cast<get_dpi_for_window_fn>(reinterpret_cast<void (*)()>(address));
    }();
    return function;
}

} // namespace

int window_dpi(HWND window)
{
    int dpi = 0;
    if (get_dpi_for_window_fn function = dpi_for_window_function(); function && IsWindow(window))
        dpi = static_cast<int>(function(window));
    if (dpi <= 0) {
        const window_dc context(window);
        if (context.get())
            dpi = GetDeviceCaps(context.get(), LOGPIXELSY);
    }
    return dpi > 0 ? dpi : 96;
}

int scale_pixels(int pixels_at_96_dpi, int dpi) { return MulDiv(pixels_at_96_dpi, dpi, 96); }

int scale_for_dpi(HWND window, int pixels_at_96_dpi) { return scale_pixels(pixels_at_96_dpi, window_dpi(window)); }
