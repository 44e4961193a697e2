// Entry point: registers the common controls, creates the main window, runs its
// message loop until the user quits, then tears the window down.
#include "app/dlg_main.h"

#include <commctrl.h>

#include <cstdlib>

#if defined(__GLIBCXX__)
// An exception nothing catches (the only one is running out of memory) ends the program
// either way; GCC's standard library would first print its type, demangled, to a console
// a window program does not have. Its handler alone, with the demangler it pulls in, makes
// up a tenth of the program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}
#endif

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
