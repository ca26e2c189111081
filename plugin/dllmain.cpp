// The module entry: records the instance and loads the button face; at unload
// gives up everything the plug-in holds.
#include <windows.h>
#include "plugin/module.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    try { // nothing may unwind into the loader; the load never fails
        if (reason == DLL_PROCESS_ATTACH) {
            ThePlugin().Attach(instance);
        } else if (reason == DLL_PROCESS_DETACH) {
            ThePlugin().Detach();
        }
    } catch (...) {
    }
    return TRUE;
}
