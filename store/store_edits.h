// Every change to the stored menu. An entry is addressed by the key path of
// the key that holds it and its name (see registry_layout.h); a key path
// whose key is missing makes an edit do nothing.
#pragma once
#include <windows.h>
#include <string>

// Sets value `name` of the key at `keyPath` to `record`, replacing the record
// of an item of that name.
void WriteItemValue(const std::string& keyPath, const char* name, const char* record);
// Creates (or opens) the sub-key `name` of the key at `keyPath` and sets its
// default value to `record`; what the sub-key holds stays.
void CreateSubmenuKey(const std::string& keyPath, const char* name, const char* record);
// Deletes value `name` of the key at `keyPath`.
void DeleteMenuItemRegEntry(const std::string& keyPath, const char* name);
// Deletes the sub-key `name` of the key at `keyPath`, with everything beneath it.
void DeleteSubmenu(const std::string& keyPath, const char* name);
// Deletes the sub-key `name` of `key` (borrowed, not closed) with everything
// beneath it.
void DeleteRegSubEntry(HKEY key, const char* name);
// In the key at `keyPath`, adds `delta` to every position of `fromPosition`
// or more.
void ShiftPositions(const std::string& keyPath, int fromPosition, int delta);
// In the key at `keyPath`, moves the record at `oldPosition` to
// `newPosition` and closes the gap.
void MovePosition(const std::string& keyPath, int oldPosition, int newPosition);
