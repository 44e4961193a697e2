// Lets a test see calls that the program's code makes to a system function: for the
// object's lifetime, this executable's import table sends calls of that function to a
// replacement. Used where the call has no effect a test could observe otherwise (such
// as EnableWindow on the desktop window, which another process owns).
#pragma once

#include <windows.h>

#include <cstring>

class import_patch {
public:
    import_patch(const char* module_name, const char* function_name, const void* replacement)
    {
        const HMODULE module = GetModuleHandleA(module_name);
        original_ = module ? reinterpret_cast<void*>(GetProcAddress(module, function_name)) : nullptr;
        slot_ = original_ ? find_slot(original_) : nullptr;
        if (slot_)
            write(replacement);
    }
    template <typename function>
    import_patch(const char* module_name, const char* function_name, function* replacement)
        : import_patch(module_name, function_name, reinterpret_cast<const void*>(replacement))
    {
    }
    ~import_patch()
    {
        if (slot_)
            write(original_);
    }
    import_patch(const import_patch&) = delete;
    import_patch& operator=(const import_patch&) = delete;

    // False when this executable does not import the function (then nothing changed).
    bool active() const { return slot_ != nullptr; }
    void* original() const { return original_; }

private:
    // The import-table entry of this executable that holds `address`.
    static void** find_slot(void* address)
    {
        auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.VirtualAddress == 0)
            return nullptr;
        for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             descriptor->Name != 0; ++descriptor)
            for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
                 thunk->u1.Function != 0; ++thunk)
                if (reinterpret_cast<void*>(thunk->u1.Function) == address)
                    return reinterpret_cast<void**>(&thunk->u1.Function);
        return nullptr;
    }

    void write(const void* value)
    {
        DWORD old_protection = 0;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old_protection);
        std::memcpy(slot_, &value, sizeof(void*));
        VirtualProtect(slot_, sizeof(void*), old_protection, &old_protection);
        FlushInstructionCache(GetCurrentProcess(), slot_, sizeof(void*));
    }

    void* original_ = nullptr;
    void** slot_ = nullptr;
};
