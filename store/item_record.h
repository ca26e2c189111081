// The text record stored for every menu item and submenu:
//   target,parameters,startIn,iconPath,iconIndex,runMode,position,separator
// No quoting, no escapes; positions are 1-based in the store.
// Kept free of <windows.h> so it can be built natively and fuzzed.
#pragma once
#include <string>

enum {
    kTextBufferSize = 260,   // names, paths and other text fields, with terminator
    kRecordBufferSize = 1060 // a whole record, with terminator
};

struct MenuItemFields {
    char* target; // always set by ParseItemRecord: the start of the record
    char* parameters;
    char* startIn;
    char* iconPath;
    int iconIndex;
    int runMode;
    int position;
    int separator;
};

// The record of the "Insert Item..." placeholder that stands in an empty menu:
// the bytes 01..08 and a terminator, recognised by string comparison.
extern const char PlaceholderMarker[];

// Splits `record` in place (its first seven commas become terminators).
// With `zeroBased`, a stored position p becomes p - 1 (the lowest int stays as
// it is), and a missing or 0 position becomes `defaultPosition` unchanged.
void ParseItemRecord(int defaultPosition, bool zeroBased, char* record, MenuItemFields* fields);

// The file name a target names, without its folder or extension:
// C:\Tools\Note Pad.exe, quoted or not, gives "Note Pad".
// Empty for null.
std::string TargetFileStem(const char* target);

// Composes a record into `out`, a buffer of kRecordBufferSize bytes. The result
// has seven commas; a record longer than the buffer is cut at its end (fields
// past the cut are lost), never overrun.
void BuildItemRecord(bool isSubmenu, const char* target, const char* parameters,
                     const char* startIn, const char* iconPath, int iconIndex, int runMode,
                     int position, int separator, char* out);
