// The floor of scancfg's start-up: the same three dialog templates, created in the same
// order from the same resources, with none of the program's own code (no lists filled,
// no configuration read). tools/bench_startup times it beside scancfg.exe.
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

namespace {

HINSTANCE instance = nullptr;

INT_PTR CALLBACK page_proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INT_PTR CALLBACK main_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        HWND error_page = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ERR_MSG), window, page_proc, 0);
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_ADV_CFG), window, page_proc, 0);
        ShowWindow(error_page, SW_SHOW);
        return 1;
    }
    if (message == WM_COMMAND && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        PostQuitMessage(0);
        return 1;
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int)
{
    instance = module;
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&classes);

    HWND window = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_MAIN), nullptr, main_proc, 0);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyWindow(window);
    return 0;
}
