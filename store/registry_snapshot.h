// Exact reads and writes of registry sub-trees for undo: every value of any
// type with its raw bytes, every sub-key, names beyond the code page
// included, all through the wide API. Trees of any depth are walked with
// explicit stacks, never by recursion.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "common/handle_guards.h"
#include "store/edit_snapshot.h"

// The names of the keys of an ANSI key path (see registry_layout.h): "" has
// none. False for a path that names no key (an empty name, or a name that
// does not convert or is too long).
bool KeyPathNames(const std::string& keyPath, std::vector<std::u16string>* names);

// Opens the key at `names` below the settings key with `rights`, walking one
// name at a time (so no length limit of a whole path applies). Empty when it
// cannot; `missing` then says whether a key on the way is not there.
OwnedKey OpenKeyBelowSettings(const std::vector<std::u16string>& names, REGSAM rights,
                              bool* missing);

// Reads `key` (borrowed) and everything beneath it into `tree` (whose name
// is left as it is). False when any part could not be read.
bool ReadSnapTree(HKEY key, SnapKey* tree);
// Reads value `name` of `key`: false on a failed read; `side` says whether
// it is there, with its type and bytes.
bool ReadSnapValue(HKEY key, const std::u16string& name, ChangeSide* side);
// Writes value `name` of `key` exactly.
bool WriteSnapValue(HKEY key, const std::u16string& name, uint32_t type, const std::string& bytes);
// Deletes the sub-key `name` of `key` with everything beneath it; true when
// it is gone (or was never there).
bool DeleteSnapTree(HKEY key, const std::u16string& name);
// Creates `tree` as a sub-key of `key` (named tree.name), with every value
// and sub-key beneath it.
bool WriteSnapTree(HKEY key, const SnapKey& tree);

inline const wchar_t* Wide(const std::u16string& text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "the registry's wide text is UTF-16");
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
