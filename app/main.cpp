// Entry point: registers the common controls, creates the main window, runs its
// message loop until the user quits, then tears the window down.
#include "app/dlg_main.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    app_instance = instance;

    // The templates use the tab and list-view classes, which exist only once registered.
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&classes);

    dlg_main main_window;
    // Without a window nothing could ever post WM_QUIT: the loop would never end.
    if (!main_window.create(instance))
        return 1;

    main_window.run_modal(nullptr);
    return 0;
}
