// Reading and writing one stored record. Records are REG_SZ values kept
// without a terminating zero; a reader must end the text itself and must not
// take a value that does not fit its buffer.
#pragma once
#include <windows.h>
#include "store/item_record.h"

// Ends the `size` bytes read into `record` (a buffer of kRecordBufferSize)
// with a terminator; false, with `record` emptied, when they fill the buffer
// without ending in one (longer than a record can be).
bool TerminateRecord(char* record, size_t size);

// Stores `record` as value `name` (null or "" for the default value), REG_SZ,
// without a terminating zero. True when the write succeeded.
bool WriteRecordValue(HKEY key, const char* name, const char* record);

// A record exactly as stored, read through the wide API: other programs may
// store characters that the code page cannot hold.
struct StoredRecord {
    wchar_t text[kRecordBufferSize]; // terminated
    int length;                      // in characters, without the terminator
};

// Reads value `name` of `key` (null or L"" for the default value) into
// `record`. True only for a REG_SZ value of at most kRecordBufferSize - 1
// characters holding no zero but a final one: anything else is to be left
// alone, since it cannot be rewritten without loss.
bool ReadStoredRecord(HKEY key, const wchar_t* name, StoredRecord* record);
// The same checks on data already read: `size` bytes of type `type`.
bool StoredRecordFromData(DWORD type, const void* data, DWORD size, StoredRecord* record);
// Stores `length` characters of `text` as value `name`, REG_SZ, without a
// terminating zero. True when the write succeeded.
bool WriteStoredRecord(HKEY key, const wchar_t* name, const wchar_t* text, int length);
// Gives the record `stored`, read from value `name` of `key` (null: the
// default value), the number `next` when it has no position, in full item
// form, and writes it back only when its text changes; `stored` then holds
// the record as stored, and `written` says whether it was written. Returns
// the record's position.
int NormalizeStoredRecord(HKEY key, const wchar_t* name, StoredRecord* stored, int next,
                          bool* written);
// True when the code page holds the record to its last character.
bool IsAnsiRecord(const StoredRecord& record);
