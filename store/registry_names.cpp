// Enumeration of sub-key and value names.
#include "store/registry_names.h"
#include "store/item_record.h"

RegistryEnumStep EnumSubkeyName(HKEY key, DWORD index, char* name) {
    DWORD size = kTextBufferSize;
    LONG rc = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
    return rc == ERROR_SUCCESS ? kRegistryEntry : kRegistryEnd;
}

RegistryEnumStep EnumValueName(HKEY key, DWORD index, char* name, DWORD* type) {
    DWORD size = kTextBufferSize;
    *type = 0;
    LONG rc = RegEnumValueA(key, index, name, &size, nullptr, type, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) return kRegistrySkip; // a name no item can have
    return rc == ERROR_SUCCESS ? kRegistryEntry : kRegistryEnd;
}
