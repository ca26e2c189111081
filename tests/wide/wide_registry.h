// The stored menu read and written through the wide API, as other programs
// (the registry editor, a UTF-16 .reg file) write it: byte for byte.
#pragma once
#include <windows.h>
#include <map>
#include <set>
#include <string>

namespace widetest {

const wchar_t kSettings[] = L"Software\\Quoril\\RoduzuRodidiVo\\Settings";

// Deletes `name` under `parent` with everything beneath it, whatever the
// names (the ANSI API cannot open a child named beyond the code page).
inline bool DeleteTree(HKEY parent, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    wchar_t child[512];
    DWORD length = 512;
    while (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS &&
           DeleteTree(key, child))
        length = 512;
    RegCloseKey(key);
    return RegDeleteKeyW(parent, name) == ERROR_SUCCESS;
}

// Removes the whole product key, so that each test starts empty.
inline void DeleteProductKey() {
    DeleteTree(HKEY_CURRENT_USER, L"Software\\Quoril");
}

inline std::wstring KeyPath(const std::wstring& path) {
    return path.empty() ? std::wstring(kSettings) : std::wstring(kSettings) + L"\\" + path;
}

// Sets value `name` (L"" for the default value) of `path` below the settings
// key to `data`, REG_SZ without a terminating zero, creating the key.
inline void SetRecord(const std::wstring& path, const std::wstring& name,
                      const std::wstring& data) {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

// Every value below the settings key as its stored bytes, by "path|name"
// ("path\\" for a sub-key itself, so that keys show too).
typedef std::map<std::wstring, std::string> Snapshot;

inline void Collect(HKEY key, const std::wstring& prefix, Snapshot* out) {
    for (DWORD i = 0;; ++i) {
        wchar_t name[2048];
        BYTE data[8192];
        DWORD nameLength = 2048, size = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        (*out)[prefix + L"|" + name] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t child[512];
        DWORD length = 512;
        if (RegEnumKeyExW(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        HKEY sub;
        if (RegOpenKeyExW(key, child, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        (*out)[prefix + child + L"\\"] = "";
        Collect(sub, prefix + child + L"\\", out);
        RegCloseKey(sub);
    }
}

inline Snapshot Take() {
    Snapshot values;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    Collect(key, L"", &values);
    RegCloseKey(key);
    return values;
}

// The stored text of value `name` of `path`, or L"<missing>".
inline std::wstring Record(const std::wstring& path, const std::wstring& name) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<missing>";
    wchar_t data[4096];
    DWORD size = sizeof data, type = 0;
    LONG rc =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return L"<missing>";
    std::wstring text(data, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

// A complete eight-field record with its position field (the seventh) set.
inline std::wstring WithPosition(const std::wstring& record, int position) {
    size_t start = 0;
    for (int i = 0; i < 6; ++i)
        start = record.find(L',', start) + 1;
    size_t end = record.find(L',', start);
    return record.substr(0, start) + std::to_wstring(position) + record.substr(end);
}

// The position field of a complete record.
inline int PositionOf(const std::wstring& record) {
    size_t start = 0;
    for (int i = 0; i < 6; ++i) {
        start = record.find(L',', start);
        if (start == std::wstring::npos) return -1;
        ++start;
    }
    return _wtoi(record.c_str() + start);
}

// The entries (values and keys) of a snapshot, without their data.
inline std::set<std::wstring> Entries(const Snapshot& snapshot) {
    std::set<std::wstring> names;
    for (const auto& entry : snapshot)
        names.insert(entry.first);
    return names;
}

} // namespace widetest
