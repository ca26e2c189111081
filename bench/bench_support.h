// What the benchmarks share: stored menus to measure, a host window, the
// plug-in's press, and waiting for the store to settle.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

typedef int(WINAPI* PressFunction)(HWND, int, int, DWORD);

void DeleteTree(HKEY parent, const char* name);

enum Icons { kNoIcons, kOneIcon, kManyIcons };
const char* IconsName(Icons icons);
// The target and icon fields of item i: one missing program for all (no icon;
// a bare name, which the shell looks for along the search path), notepad
// for every item, or one of 60 different icons of the prefix's programs and
// shell32.dll.
std::string IconFields(Icons icons, int i);
void SetRecord(HKEY key, const char* name, const std::string& record);
// A flat menu of `count` items, stored in reverse order of their positions.
void SeedFlat(int count, Icons icons);
// `levels` nested submenus, each holding ten items and the next submenu.
void SeedDeep(int levels, Icons icons);
// Ten items in the root, then `groups` submenus of `perGroup` items each
// ("Item 0001" on), so that every item is found by typing "item".
void SeedGroups(int groups, int perGroup, Icons icons);

HWND MakeHostWindow();
// Handles whatever the last press left queued (the host's own messages).
void Pump();
double Median(std::vector<double> values);
// Loads wblind.dll and Quoril.dll from beside the program; WBPress, or null.
PressFunction LoadPress();
// A menu is mostly pressed long after it was last changed, and the plug-in
// keeps what a press read only from keys that have gone unwritten for 2 s:
// waits until the stored menu (seeded, or completed by a first press) is
// that old.
void WaitUntilTheStoreHasSettled();
