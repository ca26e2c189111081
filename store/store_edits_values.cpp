// Safe reads and writes of single records.
#include "store/store_edits_values.h"
#include <string.h>
#include <wchar.h>
#include "store/registry_names.h"

bool TerminateRecord(char* record, size_t size) {
    if (size == kRecordBufferSize) {
        // Filling the whole buffer is fine only when the last byte is a stored
        // terminator; otherwise the record is longer than a record can be.
        if (record[kRecordBufferSize - 1] != '\0') {
            record[0] = '\0';
            return false;
        }
        size = kRecordBufferSize - 1;
    }
    record[size] = '\0';
    return true;
}

bool WriteRecordValue(HKEY key, const char* name, const char* record) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(record),
                          static_cast<DWORD>(strlen(record))) == ERROR_SUCCESS;
}

bool ReadStoredRecord(HKEY key, const wchar_t* name, StoredRecord* record) {
    DWORD type = 0;
    DWORD size = sizeof record->text;
    LONG rc =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(record->text), &size);
    if (rc != ERROR_SUCCESS) {
        record->text[0] = L'\0';
        record->length = 0;
        return false;
    }
    return StoredRecordFromData(type, record->text, size, record);
}

bool StoredRecordFromData(DWORD type, const void* data, DWORD size, StoredRecord* record) {
    record->length = 0;
    if (type != REG_SZ || size % sizeof(wchar_t) != 0 || size > sizeof record->text) {
        record->text[0] = L'\0';
        return false;
    }
    if (data != record->text) memcpy(record->text, data, size);
    int length = static_cast<int>(size / sizeof(wchar_t));
    if (length > 0 && record->text[length - 1] == L'\0') --length; // a stored terminator
    // Room for the terminator, and no zero inside: the text after one would be lost.
    if (length >= kRecordBufferSize || wmemchr(record->text, L'\0', length)) {
        record->text[0] = L'\0';
        return false;
    }
    record->text[length] = L'\0';
    record->length = length;
    return true;
}

bool WriteStoredRecord(HKEY key, const wchar_t* name, const wchar_t* text, int length) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(length * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool IsAnsiRecord(const StoredRecord& record) {
    char ansi[kRecordBufferSize];
    return ToExactAnsi(record.text, record.length, ansi, sizeof ansi);
}
