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

// Reads `key` and everything beneath it into `tree`. With `normalize`, every
// record without a position is given the number after the previous record's
// (sub-keys first, then values) and written back on the way, and `tree`
// holds the records as they are stored afterwards. A value whose name does not fit a name buffer is
// left out.
void ReadStoredTree(HKEY key, bool normalize, StoredKey* tree);
// Reads only the values of `key` (its default value included).
void ReadStoredValues(HKEY key, StoredKey* tree);
// The stored tree read by the last press, kept and given again to the next
// press, without reading a value, for as long as every key of it has the
// last-write time and the numbers of values and sub-keys it had then: a menu
// is mostly pressed again unchanged. Bounds: one tree, the size of the stored
// menu; given up when the plug-in is released or unloaded.
class KeptMenu {
  public:
    // The settle time, in 100 ns units: a tree is kept only when none of its
    // keys was written within it before the read, so that a later write
    // cannot share a time stamp with the one the read saw.
    static constexpr ULONGLONG kDefaultSettleTime = 2ULL * 10000000ULL;

    // Whether the last ReadAndNormalizeMenu gave the kept tree.
    bool LastReadWasKept() const { return m_lastReadKept; }
    void Release();
    // Tests that write the menu and press again at once shorten it.
    void SetSettleTime(ULONGLONG ticks) { m_settleTime = ticks; }

  private:
    friend bool ReadAndNormalizeMenu(KeptMenu& kept, StoredKey* tree);
    StoredKey m_tree;
    bool m_kept = false;
    bool m_lastReadKept = false;
    ULONGLONG m_settleTime = kDefaultSettleTime;
};

// Reads the settings key's tree, giving every record without a position its
// number on the way (it writes those records), into `tree`; false when the
// key cannot be opened. The tree kept in `kept` is given instead while
// nothing of it has changed.
bool ReadAndNormalizeMenu(KeptMenu& kept, StoredKey* tree);

// The record held by `value` as the registry's ANSI API reads it through the
// code page into `record` (kRecordBufferSize bytes); false where that gives none.
bool StoredAnsiRecord(const StoredValue& value, char* record);
// The record held by `value` as ReadStoredRecord reads it; false where that
// gives none.
bool StoredWideRecord(const StoredValue& value, StoredRecord* record);
