// What a control of another process tells through messages. Pointers are not carried
// across processes: a message that fills a structure (TCM_GETITEMRECT, LVM_GETITEMRECT)
// gets a buffer inside the control's process, read back afterwards.
#pragma once

#include "tools/harness/handles.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

namespace harness {

// `rect` goes in as the message's input (LVM_GETITEMRECT reads its left member) and comes
// back as the control wrote it; false when the message or the buffer failed.
inline bool remote_rect(HWND control, UINT message, WPARAM wparam, RECT& rect)
{
    DWORD process_id = 0;
    GetWindowThreadProcessId(control, &process_id);
    const unique_handle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id));
    if (!process)
        return false;
    auto free_remote = [&](void* memory) { VirtualFreeEx(process.get(), memory, 0, MEM_RELEASE); };
    const std::unique_ptr<void, decltype(free_remote)> remote(
        VirtualAllocEx(process.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE), free_remote);
    return remote && WriteProcessMemory(process.get(), remote.get(), &rect, sizeof(rect), nullptr) &&
           SendMessageW(control, message, wparam, reinterpret_cast<LPARAM>(remote.get())) &&
           ReadProcessMemory(process.get(), remote.get(), &rect, sizeof(rect), nullptr);
}

// Row `row` of a list view, in the list's client coordinates; false when there is none.
inline bool list_row_rect(HWND list, int row, RECT& rect)
{
    rect = RECT{LVIR_BOUNDS, 0, 0, 0};
    return remote_rect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), rect);
}

// A message whose answer is a number; 0 when the control does not answer in time.
inline LRESULT remote_number(HWND control, UINT message, WPARAM wparam = 0, LPARAM lparam = 0)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(control, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

// WM_GETTEXT is carried across processes, unlike GetWindowTextW on a control.
inline std::wstring control_text(HWND control)
{
    wchar_t text[1024] = {};
    remote_number(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace harness
