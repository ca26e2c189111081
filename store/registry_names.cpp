// Enumeration of sub-key and value names, and exact conversions between the
// code page and the wide text the registry stores.
#include "store/registry_names.h"
#include <wchar.h>

namespace {
void CompleteName(RegistryName* name, DWORD length) {
    name->wide[length] = L'\0';
    name->exact = ToExactAnsi(name->wide, static_cast<int>(length), name->ansi,
                              static_cast<int>(sizeof name->ansi));
    if (!name->exact) name->ansi[0] = '\0';
}
} // namespace

bool ToExactAnsi(const wchar_t* wide, int length, char* out, int outSize) {
    out[0] = '\0';
    if (length == 0) return true;
    // A UTF-8 code page holds every character and takes neither flag.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    int bytes = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, length, out,
                                    outSize - 1, nullptr, utf8 ? nullptr : &usedDefault);
    if (bytes <= 0 || usedDefault) {
        out[0] = '\0';
        return false;
    }
    out[bytes] = '\0';
    // Only text that comes back unchanged is held exactly.
    wchar_t back[kRecordBufferSize];
    int chars = MultiByteToWideChar(CP_ACP, 0, out, bytes, back, kRecordBufferSize);
    if (chars != length || wmemcmp(back, wide, length) != 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool ToWide(const char* text, wchar_t* out, int outSize) {
    int chars = MultiByteToWideChar(CP_ACP, 0, text, -1, out, outSize);
    if (chars <= 0) {
        out[0] = L'\0';
        return false;
    }
    return true;
}

RegistryEnumStep EnumSubkeyName(HKEY key, DWORD index, RegistryName* name) {
    DWORD length = kTextBufferSize;
    if (RegEnumKeyExW(key, index, name->wide, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return kRegistryEnd;
    CompleteName(name, length);
    return kRegistryEntry;
}

RegistryEnumStep EnumValueName(HKEY key, DWORD index, RegistryName* name, DWORD* type) {
    DWORD length = kTextBufferSize;
    *type = 0;
    LONG rc = RegEnumValueW(key, index, name->wide, &length, nullptr, type, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) return kRegistrySkip; // a name no item can have
    if (rc != ERROR_SUCCESS) return kRegistryEnd;
    CompleteName(name, length);
    return kRegistryEntry;
}
