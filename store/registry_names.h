// Walking the names of a key's sub-keys and values by enumeration index. The
// names are read through the wide API, so that a name the code page cannot
// hold (written by another program) is never taken for another one: the ANSI
// API would hand out '?' or a look-alike (l for ł) in its place, which may be
// the name of a different entry, or of none.
#pragma once
#include <windows.h>
#include "store/item_record.h"

enum RegistryEnumStep {
    kRegistryEntry, // a name was read
    kRegistrySkip,  // an entry whose name does not fit: go on with the next index
    kRegistryEnd,   // no entry at this index: the enumeration is over
};

struct RegistryName {
    wchar_t wide[kTextBufferSize]; // the name as stored
    char ansi[kTextBufferSize];    // the same name in the code page, when `exact`
    bool exact;                    // the code page holds the name to the last character
};

// Reads the name of sub-key `index` of `key`.
RegistryEnumStep EnumSubkeyName(HKEY key, DWORD index, RegistryName* name);
// Reads the name and type of value `index` of `key`.
RegistryEnumStep EnumValueName(HKEY key, DWORD index, RegistryName* name, DWORD* type);

// Converts `length` wide characters into `out` (`outSize` bytes, terminated)
// when the code page holds them exactly, without best-fit look-alikes; false
// otherwise.
bool ToExactAnsi(const wchar_t* wide, int length, char* out, int outSize);
// The ANSI text `text` as wide characters into `out` (`outSize` characters,
// terminated); false when it does not fit.
bool ToWide(const char* text, wchar_t* out, int outSize);
