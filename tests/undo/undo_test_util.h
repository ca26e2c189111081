// Helpers for the undo tests: a menu with every kind of value, the whole
// stored tree as text (through the wide API, in name order, every byte), and
// one recorded edit.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <string>
#include "store/undo_journal.h"
#include "tests/store_edits/store_edits_test_util.h"

namespace undotest {

using edittest::Item;
using menutest::Path;

inline std::string Hex(const void* data, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < size; ++i) {
        const unsigned char b = static_cast<const unsigned char*>(data)[i];
        out += {kDigits[b >> 4], kDigits[b & 15]};
    }
    return out;
}

// Values and sub-keys of `key`, sorted by name, sub-keys indented below.
inline void DumpKey(HKEY key, int depth, std::string* out) {
    std::map<std::wstring, std::string> values;
    for (DWORD i = 0;; ++i) {
        static wchar_t name[16384]; // static: the tree may be hundreds of keys deep
        static BYTE data[4 << 20];
        DWORD length = 16384, size = sizeof data, type = 0;
        if (RegEnumValueW(key, i, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values[name] = std::to_string(type) + ":" + Hex(data, size);
    }
    std::map<std::wstring, int> subkeys;
    wchar_t child[256];
    for (DWORD i = 0; RegEnumKeyW(key, i, child, 256) == ERROR_SUCCESS; ++i)
        subkeys[child] = 0;
    const std::string indent(depth, ' ');
    for (auto& value : values)
        *out +=
            indent + Hex(value.first.data(), value.first.size() * 2) + "=" + value.second + "\n";
    for (auto& subkey : subkeys) {
        *out += indent + "[" + Hex(subkey.first.data(), subkey.first.size() * 2) + "]\n";
        HKEY inner;
        if (RegOpenKeyExW(key, subkey.first.c_str(), 0, KEY_READ, &inner) != ERROR_SUCCESS) {
            *out += indent + " <unreadable>\n";
            continue;
        }
        DumpKey(inner, depth + 1, out);
        RegCloseKey(inner);
    }
}

inline std::string Tree(const std::string& keyPath = menutest::kSettings) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    std::string out;
    DumpKey(key, 0, &out);
    RegCloseKey(key);
    return out;
}

inline void SetWideValue(const std::wstring& keyPath, const wchar_t* name, DWORD type,
                         const void* data, DWORD size) {
    HKEY key;
    const std::wstring full =
        L"Software\\Quoril\\RoduzuRodidiVo\\Settings" + (keyPath.empty() ? L"" : L"\\" + keyPath);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, full.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

// Items A, B, C at positions 1-3 and a submenu Tools (4) holding a submenu
// Games (3 levels down to Deep), values of three types and a name beyond the
// code page.
inline void FillMenu() {
    qtest::SetStringValue(Path(""), "A", Item(1));
    qtest::SetStringValue(Path(""), "B", Item(2));
    qtest::SetStringValue(Path(""), "C", Item(3));
    qtest::SetStringValue(Path("Tools"), "", ",,,,,,4,0");
    qtest::SetStringValue(Path("Tools"), "T1", Item(1));
    qtest::SetStringValue(Path("Tools\\Games"), "", ",,,,,,2,0");
    qtest::SetStringValue(Path("Tools\\Games\\Deep"), "", ",,,,,,1,0");
    const BYTE binary[] = {0, 1, 0xFF, 0x80};
    const DWORD dword = 0x12345678;
    const std::wstring record = L"C:\\\x017c\x00f3\x0142\x0107.exe,,,,0,0,1,0";
    SetWideValue(L"Tools\\Games", L"Blob", REG_BINARY, binary, sizeof binary);
    SetWideValue(L"Tools\\Games\\Deep", L"Count", REG_DWORD, &dword, sizeof dword);
    SetWideValue(L"Tools\\Games\\Deep", L"Za\x017c\x00f3\x0142\x0107", REG_SZ, record.c_str(),
                 static_cast<DWORD>(record.size() * 2));
    SetWideValue(L"Tools\\Games\\Za\x017c\x00f3\x0142\x0107", L"", REG_SZ, L",,,,,,3,0", 18);
}

// Records `edit` as an undo step on the key at `holdingKeyPath`.
inline bool Record(const std::string& holdingKeyPath, const std::function<void()>& edit,
                   const std::string& label = "Edit", const std::string& subjectKeyPath = "",
                   const std::string& subjectName = "") {
    EditRecorder recorder;
    if (!recorder.Begin(holdingKeyPath)) return false;
    edit();
    return recorder.Commit(label, subjectKeyPath, subjectName);
}

inline std::vector<std::string> JournalNames() {
    return qtest::ValueNames(QUORIL_UNDO_PATH);
}

class UndoTest : public edittest::StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        FillMenu();
    }
};

} // namespace undotest
