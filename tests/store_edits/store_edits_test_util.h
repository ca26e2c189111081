// Helpers for the store edit tests: records, positions and snapshots of the
// test registry.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "store/registry_layout.h"
#include "store/stored_menu.h"
#include "tests/menubuild/native_menu_test_util.h"

namespace edittest {

// Numbers the records without a position in the key at `keyPath` and every
// key beneath it, as reading the stored menu for a press does ("" for the
// whole menu).
inline void NormalizePositions(const std::string& keyPath) {
    OwnedKey key = OpenMenuKey(keyPath);
    if (!key) return;
    StoredKey tree;
    ReadStoredTree(key.Get(), true, &tree);
}

using menutest::kSettings;
using menutest::Path;

const std::string kProduct = "Software\\Quoril\\RoduzuRodidiVo";
// A key beside the settings key that no edit may touch.
const std::string kSibling = kProduct + "\\Other";

inline std::string Record(const std::string& keyPath, const std::string& name) {
    std::string data;
    if (!qtest::ReadStringValue(keyPath, name, &data)) return "<missing>";
    return data;
}

// Field `index` (0-based) of a record, "" when absent.
inline std::string Field(const std::string& record, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = record.find(',', start);
        if (start == std::string::npos) return "";
        ++start;
    }
    return record.substr(start, record.find(',', start) - start);
}

inline int Position(const std::string& keyPath, const std::string& name) {
    return atoi(Field(Record(keyPath, name), 6).c_str());
}

inline std::string Item(int position) {
    return "C:\\p" + std::to_string(position) + ".exe,,,,0,0," + std::to_string(position) + ",0";
}

// Every value (type and bytes) and key beneath `keyPath`, as text.
inline void Dump(const std::string& keyPath, std::string* out) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    *out += "[" + keyPath + "]\n";
    for (DWORD i = 0;; ++i) {
        char name[1024];
        BYTE data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS)
            break;
        *out += std::string(name) + "=" + std::to_string(type) + ":" +
                std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    std::vector<std::string> children = qtest::SubkeyNames(keyPath);
    RegCloseKey(key);
    for (const std::string& child : children)
        Dump(keyPath + "\\" + child, out);
}

inline std::string Snapshot(const std::string& keyPath) {
    std::string out;
    Dump(keyPath, &out);
    return out;
}

// A sibling of the settings key holding names that also occur in the menu.
inline void FillSibling() {
    qtest::SetStringValue(kSibling, "A", Item(1));
    qtest::SetStringValue(kSibling, "X", "C:\\x.exe");
    qtest::SetStringValue(kSibling + "\\Sub", "", ",,,,,,1,0");
    qtest::SetStringValue(kSibling + "\\Sub", "B", Item(1));
}

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        menutest::ResetStore();
        FillSibling();
        m_sibling = Snapshot(kSibling);
    }
    void TearDown() override {
        EXPECT_EQ(m_sibling, Snapshot(kSibling)) << "a key outside the settings key changed";
        qtest::DeleteProductKey();
    }

  private:
    std::string m_sibling;
};

} // namespace edittest
