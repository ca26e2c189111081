// The stored menu read in one pass: every key of the tree with its values and
// their data, as the registry holds them. A press reads the tree once, gives
// the records without a position their numbers on the way (writing only the
// records whose text changes), and builds the menu from what it read.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "store/store_edits_values.h"

// One value of a menu key: its name and its data exactly as stored.
struct StoredValue {
    std::wstring name;    // empty for the key's default value
    std::string ansiName; // the name in the code page, when `exact`
    bool exact = false;   // the code page holds the name to the last character
    DWORD type = REG_NONE;
    bool tooLong = false; // more data than any record can hold: left unread
    std::string data;     // the bytes as stored, unless tooLong
};

// What a key looked like when it was read. Writing a value, or adding or
// removing a sub-key, gives the key a new last-write time.
struct KeyStamp {
    FILETIME written = {};
    DWORD values = 0;
    DWORD subkeys = 0;
};

// One key of the menu: a submenu, or the root menu itself.
struct StoredKey {
    std::wstring name; // as stored; empty for the root
    std::string ansiName;
    bool exact = false;
    bool hasRecord = false;          // a default value was there
    StoredValue record;              // the default value: the submenu's own record
    std::vector<StoredValue> values; // the named values, in enumeration order
    std::vector<StoredKey> subkeys;  // those that opened, in enumeration order
    KeyStamp stamp;                  // taken before the key's values were read
    bool whole = true;               // the stamps of this key and every key beneath it were taken
};

// Reads `key` and everything beneath it into `tree`. With `normalise`, every
// record without a position is given one on the way, exactly as
// NormalizePositions does, and `tree` holds the records as they are stored
// afterwards. A value whose name does not fit a name buffer is left out.
void ReadStoredTree(HKEY key, bool normalise, StoredKey* tree);
// Reads only the values of `key` (its default value included).
void ReadStoredValues(HKEY key, StoredKey* tree);
// The settings key's tree, normalised; false when the key cannot be opened.
// A menu is mostly pressed again unchanged: the tree read last is kept and
// given again, without reading a value, for as long as every key of it has
// the last-write time and the numbers of values and sub-keys it had then.
// A tree is kept only when none of its keys was written within the settle
// time before the read, so that a later write cannot share a time stamp
// with the one the read saw.
bool ReadNormalisedMenu(StoredKey* tree);
// Whether the last ReadNormalisedMenu gave the kept tree.
bool LastMenuReadWasKept();
// Gives up the kept tree (when the plug-in is unloaded).
void ReleaseKeptMenu();
// The settle time, in 100 ns units: kKeptMenuSettleTime unless changed
// (tests shorten it).
const ULONGLONG kKeptMenuSettleTime = 2ULL * 10000000ULL;
void SetKeptMenuSettleTime(ULONGLONG ticks);

// The record held by `value` as ReadRecordValue reads it through the code
// page into `record` (kRecordBufferSize bytes); false where that gives none.
bool StoredAnsiRecord(const StoredValue& value, char* record);
// The record held by `value` as ReadStoredRecord reads it; false where that
// gives none.
bool StoredWideRecord(const StoredValue& value, StoredRecord* record);
