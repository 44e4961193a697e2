#include "dialogs/message_box.h"

int ask_user(HWND window, const std::wstring& text, UINT buttons)
{
    return MessageBoxW(GetAncestor(window, GA_ROOT), text.c_str(), main_window_title, buttons);
}
