// Pixel sizes given for 96 DPI, scaled to the DPI a window is shown at (the program
// declares itself DPI-aware, so Windows does not stretch it).
#pragma once

#include <windows.h>

// The DPI of `window`: GetDpiForWindow where the system has it (Windows 10 1607 on),
// else the vertical DPI of the window's device context; 96 if neither answers.
int window_dpi(HWND window);

// `pixels_at_96_dpi` scaled by dpi / 96, rounded to nearest.
int scale_pixels(int pixels_at_96_dpi, int dpi);

// `pixels_at_96_dpi` scaled by window_dpi(window) / 96.
int scale_for_dpi(HWND window, int pixels_at_96_dpi);
