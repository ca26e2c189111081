// What one edit of the stored menu changed, exactly, so that it can be put
// back: snapshots of registry sub-trees, the places where two of them differ,
// and the undo step that holds those places, stored as bytes in the undo
// journal. Kept free of <windows.h> so it can be built natively and fuzzed.
// Trees may be as deep as the registry allows: everything here walks them
// with explicit stacks rather than recursion.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

// One value exactly as stored.
struct SnapValue {
    std::u16string name; // empty for the key's default value
    uint32_t type = 0;
    std::string bytes;
};

// One key and everything beneath it, exactly as stored.
struct SnapKey {
    std::u16string name; // empty for the root of a snapshot taken at the settings key
    std::vector<SnapValue> values;
    std::vector<SnapKey> subkeys;
};

// One side of a changed place: nothing there, a value, or a whole sub-key.
struct ChangeSide {
    bool present = false;
    uint32_t type = 0;   // a value's type
    std::string bytes;   // a value's data
    std::u16string name; // the name as stored on this side (its case may differ from the other's)
    SnapKey tree;        // a sub-key's whole sub-tree (tree.name == name)
};

// One place that an edit changed: a value, or a sub-key present on one side
// only, of the key at `keyPath` (the names of the keys below the settings key).
struct EditChange {
    std::vector<std::u16string> keyPath;
    bool isSubkey = false;
    std::u16string name;
    ChangeSide before;
    ChangeSide after;
};

// One undoable edit.
struct EditStep {
    std::string label;                       // what the user did, e.g. Delete "Games"
    std::vector<std::u16string> subjectPath; // the key holding the entry the edit was about
    std::u16string subjectName;              // that entry, to highlight after the undo
    std::vector<EditChange> changes;
};

// Bounds of a step that can be stored; anything beyond them is refused.
enum : size_t {
    kMaxSnapName = 255,             // UTF-16 units of a name
    kMaxSnapDepth = 520,            // key path plus nesting beneath it
    kMaxStepLabel = 1024,           // bytes
    kMaxStepBytes = 2 * 1024 * 1024 // a whole stored step
};

// The places where `after` differs from `before`, both snapshots of the key
// at `basePath`: values added, removed, or changed in type or bytes; a
// sub-key on one side only as one change carrying its whole sub-tree; a
// sub-key on both sides compared within. Names match as the registry matches
// them, without regard to the case of ASCII letters.
std::vector<EditChange> DiffSnapshots(const SnapKey& before, const SnapKey& after,
                                      const std::vector<std::u16string>& basePath);
// Whether two snapshots hold the same values and sub-keys (in any order).
bool SameSnapshot(const SnapKey& a, const SnapKey& b);
// Whether two names name the same entry in one key.
bool SameEntryName(const std::u16string& a, const std::u16string& b);

// The stored form of `step`: magic, version, counted fields, checksum. Empty
// when the step exceeds a bound (it cannot be stored).
std::string SerializeStep(const EditStep& step);
// Reads a stored step; false, with `step` left unspecified, for anything
// damaged, truncated, foreign or beyond a bound. Never reads past `data`.
bool ParseStep(const std::string& data, EditStep* step);
// The size SerializeStep gives a step within the bounds, without building it.
size_t EstimateStepSize(const EditStep& step);
