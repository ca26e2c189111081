// The DPI a menu is laid out and drawn for.
#pragma once
#include <windows.h>

// The DPI of the monitor nearest to `area` (a work area) when the system
// gives this thread's windows per-monitor DPI; else `systemDpi`, the one DPI
// the system scales every window of ours to. The functions that tell are
// looked up at run time: older systems (and some Wine versions) lack them.
int MenuDpiOn(const RECT& area, int systemDpi);
// The same for a menu opening at `point`.
int MenuDpiAt(POINT point, int systemDpi);
