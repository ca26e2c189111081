// Walking the names of a key's sub-keys and values by enumeration index.
#pragma once
#include <windows.h>

enum RegistryEnumStep {
    kRegistryEntry, // a name was read
    kRegistrySkip,  // an entry whose name does not fit: go on with the next index
    kRegistryEnd,   // no entry at this index: the enumeration is over
};

// Reads the name of sub-key `index` of `key` into `name` (kTextBufferSize).
RegistryEnumStep EnumSubkeyName(HKEY key, DWORD index, char* name);
// Reads the name and type of value `index` of `key` into `name`
// (kTextBufferSize) and `type`.
RegistryEnumStep EnumValueName(HKEY key, DWORD index, char* name, DWORD* type);
