// A rectangle that a control of another process gives through a pointer message, such
// as TCM_GETITEMRECT or LVM_GETITEMRECT. Pointers are not carried across processes, so
// the control reads and writes a buffer inside its own process, which is then read back.
#pragma once

#include "tools/win_handles.h"

#include <windows.h>

#include <memory>

// `rect` goes in as the message's input (LVM_GETITEMRECT reads its left member) and
// comes back as the control wrote it; false when the message or the buffer failed.
inline bool remote_rect(HWND control, UINT message, WPARAM wparam, RECT& rect)
{
    DWORD process_id = 0;
    GetWindowThreadProcessId(control, &process_id);
    const unique_handle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id));
    if (!process)
        return false;
    struct remote_freer {
        HANDLE process;
        void operator()(void* memory) const { VirtualFreeEx(process, memory, 0, MEM_RELEASE); }
    };
    const std::unique_ptr<void, remote_freer> remote(
        VirtualAllocEx(process.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE),
        remote_freer{process.get()});
    if (!remote || !WriteProcessMemory(process.get(), remote.get(), &rect, sizeof(rect), nullptr))
        return false;
    if (!SendMessageW(control, message, wparam, reinterpret_cast<LPARAM>(remote.get())))
        return false;
    return ReadProcessMemory(process.get(), remote.get(), &rect, sizeof(rect), nullptr) != FALSE;
}
