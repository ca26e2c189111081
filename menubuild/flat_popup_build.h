// Turns the native menu tree of a press into flat popups, tracks them and
// reports the choice.
#pragma once
#include <windows.h>

class CFlatPopupMenu;

struct PopupBuildNode {
    HMENU nativeMenu;
    char* title; // owned copy, or null
    CFlatPopupMenu* popup;
    HBITMAP imageStrip;
    HBITMAP maskStrip;
    PopupBuildNode* next;
};

#define QUORIL_LAUNCHER_TITLE "Quoril 2.0"

int ShowLauncherMenu(HINSTANCE module, HMENU root, int x, int y, HWND window, HMENU contextMenu,
                     int* contextCommand, int* parentSubmenuId);
int TrackPopupTree(HINSTANCE module, HMENU menu, HWND window, CFlatPopupMenu* popup, int x, int y,
                   const char* title, PopupBuildNode* contextNode, int* contextCommand);
bool BuildPopupMenu(HINSTANCE module, HWND window, PopupBuildNode* node,
                    PopupBuildNode* contextNode);
HBITMAP BuildIconStrips(HMENU menu, HWND window, HBITMAP* maskStrip);
