// Every change to the stored menu. Items are addressed through the native
// menu tree of the current press (see registry_layout.h).
#pragma once
#include <windows.h>

void WriteItemValue(HMENU menu, UINT itemId, UINT submenuId, const char* name, const char* record);
void CreateSubmenuKey(HMENU menu, UINT itemId, UINT submenuId, const char* name,
                      const char* record);
void DeleteMenuItemRegEntry(HMENU menu, UINT itemId, const char* name);
void DeleteSubmenu(HMENU menu, UINT itemId, const char* name);
void DeleteRegSubEntry(HKEY key, const char* name);
void ShiftPositions(HMENU menu, UINT itemId, int fromPosition, int delta);
void MovePosition(HMENU menu, UINT itemId, int oldPosition, int newPosition);
// `key` null: the whole tree under the settings key.
void NormalizePositions(HKEY key);
