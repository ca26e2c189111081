// Where the pointer rested when a key last acted on the menus. Windows that
// appear or close under a resting pointer make the system report a mouse
// move at the same place; such a move is no movement and must not take the
// hot entry away from where the key put it.
#pragma once
#include <windows.h>

// `pointer` is where the pointer was when the key was pressed (the key
// message's own point): by the time the message is handled, the pointer may
// already have moved on.
void RememberPointerAtKey(POINT pointer);
void ForgetPointerAtKey();
// True while the pointer is still where it rested at the last key; a move to
// anywhere else forgets that place, so the mouse takes over again.
bool PointerRestsSinceKey(POINT screen);
