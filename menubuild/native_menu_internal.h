// Helpers shared by the native menu builder's sources.
#pragma once
#include <windows.h>
#include <stddef.h>

// Item data of native items: a zero-terminated copy on the process heap, freed
// with FreeItemData when its item goes (DestroyMenuTree) or was never inserted.
char* CopyItemData(const char* text);
void FreeItemData(void* data);

// Size of MENUITEMINFOA without its final hbmpItem member, as every item is
// written and read with it.
#define QUORIL_MENUITEMINFO_SIZE ((UINT)offsetof(MENUITEMINFOA, hbmpItem))

// Command id of the next item counted in `menu`: its item count times 256
// plus the low byte of its handle.
UINT NextItemId(HMENU menu);
