// The module entry: records the instance and loads the button face.
#include <windows.h>
#include "menubuild/kept_icons.h"
#include "menubuild/strip_pixels.h"
#include "plugin/module.h"
#include "store/stored_menu.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    try { // nothing may unwind into the loader; the load never fails
        if (reason == DLL_PROCESS_ATTACH) {
            SetModuleInstance(instance);
            LoadButtonFace();
        } else if (reason == DLL_PROCESS_DETACH) {
            DeleteButtonFace();
            ReleaseKeptIcons();
            ReleaseKeptMenu();
            ReleaseStripPixels();
        }
    } catch (...) {
    }
    return TRUE;
}
