// A press gives every record without a position its number and rewrites it in
// full eight-field item form (NormalizeStoredRecord). An undo step recorded
// before that press must still know the record as its own afterwards.
// Kept free of <windows.h> so it can be built natively.
#pragma once
#include <string>

// Whether the REG_SZ data `now` is the REG_SZ data `recorded` as such a
// rewrite leaves it: the same four text fields to the last character, the
// same numbers, in full form, and the position `recorded` had, or any
// position where it had none. False for identical data and for anything
// that is not a record.
bool IsTidiedRecord(const std::string& recorded, const std::string& now);
