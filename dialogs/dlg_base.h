// Base of every dialog: binds a dialog window to its object through a window
// property and routes the window's messages to the object's handle_message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class dlg_base {
public:
    dlg_base(int template_id, HWND parent);
    virtual INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam);
    virtual void on_font_changed();
    // Clears the binding and destroys the window if it still exists, then enables and
    // raises the parent.
    virtual ~dlg_base();

    dlg_base(const dlg_base&) = delete;
    dlg_base& operator=(const dlg_base&) = delete;

    // Creates the window from the template in `instance` (null: this program), as a child
    // or owned window of `parent`, bound to this object; its WM_INITDIALOG runs inside.
    // Returns the window, also kept in `hwnd`; null when the template cannot be created.
    HWND create(HINSTANCE instance = nullptr);
    // Shows or hides; a top-level dialog is also centred and clamped, and its parent
    // disabled while it is shown.
    void show(bool visible);
    // Shows the dialog centred on `owner` (or the desktop) and runs the message loop
    // until WM_QUIT or a non-zero modal_result.
    std::int32_t run_modal(HWND owner);
    // The current text of control `id`; empty for a missing control.
    std::wstring get_item_text(int id) const;

    std::int32_t modal_result = 0;
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    std::int32_t template_id = 0;
};

// The name of the window property that holds the object's address.
extern const wchar_t* const dlg_base_object_prop_name;

// The dialog procedure of every dialog of the program (create() passes it); the
// creation parameter must be the dlg_base object.
INT_PTR CALLBACK base_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Appends a tab labelled `label` whose item data is `page`; the new index, or -1.
std::int32_t add_tab_page(HWND tab, dlg_base* page, const wchar_t* label);
