// Safe reads and writes of single records.
#include "store/store_edits_values.h"
#include <string.h>

bool ReadRecordValue(HKEY key, const char* name, char* record) {
    DWORD type = 0;
    DWORD size = kRecordBufferSize;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(record), &size);
    if (rc != ERROR_SUCCESS || type != REG_SZ || size > kRecordBufferSize) {
        record[0] = '\0';
        return false;
    }
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
