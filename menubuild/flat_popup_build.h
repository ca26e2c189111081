// Turns the native menu tree of a press into flat popups, tracks them and
// reports the choice.
#pragma once
#include <windows.h>

struct PopupNode;
struct PressContext;
struct IconStrips;

#define QUORIL_LAUNCHER_TITLE "Quoril 2.0"

// Builds the context popup from `contextMenu` and the launcher's popups from
// `root`, tracks the launcher at (x, y) and records the choice in
// `press.choice`; returns the chosen command id, or 0. Every popup is
// released again before it returns.
int ShowLauncherMenu(PressContext& press, HMENU root, int x, int y, HMENU contextMenu);
// Builds the popups of `menu` (titled `title`, or untitled for null) and
// tracks the first at (x, y); returns the chosen command id, or 0.
int TrackPopupTree(PressContext& press, HMENU menu, int x, int y, const char* title,
                   PopupNode* contextNode, int* contextCommand);
// Fills the node's popup from its native menu; a submenu gets a node of its
// own at the tree's end, built at once.
bool BuildPopupMenu(PressContext& press, PopupNode& node, PopupNode* contextNode);
// The strips of small icons of the items of `menu`, made on `window`'s DC
// (for null: the host window's, else the desktop's); empty on failure.
IconStrips BuildIconStrips(PressContext& press, HMENU menu, HWND window);
