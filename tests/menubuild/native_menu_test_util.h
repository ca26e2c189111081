// Helpers for tests that build a native menu tree from the test registry and
// read its items back.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "menubuild/native_menu.h"
#include "tests/support/test_press.h"
#include "tests/support/test_support.h"

namespace menutest {

const std::string kSettings = "Software\\Quoril\\RoduzuRodidiVo\\Settings";

inline std::string Path(const std::string& sub) {
    return sub.empty() ? kSettings : kSettings + "\\" + sub;
}

// One native item as the builder left it.
struct Item {
    std::string text;
    UINT id = 0;
    UINT type = 0;
    HMENU submenu = nullptr;
    HBITMAP image = nullptr; // hbmpUnchecked
    HBITMAP mask = nullptr;  // hbmpChecked
    const char* data = nullptr;
};

inline Item ReadItem(HMENU menu, int position) {
    Item item;
    char text[1024] = "";
    MENUITEMINFOA info = {};
    info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, position, TRUE, &info)) return item;
    item.text = (info.fType & MFT_SEPARATOR) ? "" : text;
    item.id = info.wID;
    item.type = info.fType;
    item.submenu = info.hSubMenu;
    item.image = info.hbmpUnchecked;
    item.mask = info.hbmpChecked;
    item.data = reinterpret_cast<const char*>(info.dwItemData);
    return item;
}

inline std::vector<Item> Items(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        items.push_back(ReadItem(menu, i));
    return items;
}

// Texts in native order; separators show as "-".
inline std::vector<std::string> Texts(HMENU menu) {
    std::vector<std::string> texts;
    for (const Item& item : Items(menu))
        texts.push_back((item.type & MFT_SEPARATOR) ? "-" : item.text);
    return texts;
}

inline UINT LowByte(HMENU menu) {
    return static_cast<UINT>((UINT_PTR)menu & 0xFF);
}

// Finds an item by its path of texts ("Sub\\Item"); position -1 when absent.
inline bool Find(HMENU root, const std::string& path, HMENU* menu, int* position) {
    HMENU current = root;
    size_t start = 0;
    for (;;) {
        size_t end = path.find('\\', start);
        std::string part = path.substr(start, end == std::string::npos ? end : end - start);
        int found = -1;
        for (int i = 0; i < GetMenuItemCount(current); ++i) {
            Item item = ReadItem(current, i);
            if (!(item.type & MFT_SEPARATOR) && item.text == part) {
                found = i;
                break;
            }
        }
        if (found < 0) return false;
        if (end == std::string::npos) {
            *menu = current;
            *position = found;
            return true;
        }
        current = ReadItem(current, found).submenu;
        if (!current) return false;
        start = end + 1;
    }
}

inline Item ItemAt(HMENU root, const std::string& path) {
    HMENU menu;
    int position;
    if (!Find(root, path, &menu, &position)) return Item();
    return ReadItem(menu, position);
}

inline UINT IdOf(HMENU root, const std::string& path) {
    return ItemAt(root, path).id;
}

// A native tree built from the test registry, released at scope end.
class BuiltMenu {
  public:
    explicit BuiltMenu(HWND window = nullptr) : m_root(CreatePopupMenu()) {
        m_result = qtest::BuildFromStore(m_press.Context(), window, m_root);
    }
    ~BuiltMenu() {
        DestroyMenuTree(m_root);
        DestroyMenu(m_root);
    }
    HMENU Root() const { return m_root; }
    int Result() const { return m_result; }

  private:
    qtest::TestPress m_press;
    HMENU m_root;
    int m_result;
};

// Values of other types, written as they come.
inline void SetRawValue(const std::string& keyPath, const std::string& name, DWORD type,
                        const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, type,
                   static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

// A REG_SZ value whose stored bytes are exactly `text`, with no terminating
// zero. (Given a terminated buffer, the registry adds the zero itself.)
inline void SetUnterminated(const std::string& keyPath, const std::string& name,
                            const std::string& text) {
    std::string buffer = text + "#";
    SetRawValue(keyPath, name, REG_SZ, buffer.data(), static_cast<DWORD>(text.size()));
}

inline void CreateKey(const std::string& keyPath) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

// Raw bytes and type of a value; false when it is missing.
inline bool ReadRaw(const std::string& keyPath, const std::string& name, std::string* bytes,
                    DWORD* type) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[8192];
    DWORD size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, name.empty() ? nullptr : name.c_str(), nullptr, type,
                               reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    bytes->assign(buffer, size);
    return true;
}

// Each test starts from an empty product key.
inline void ResetStore() {
    qtest::DeleteProductKey();
}

} // namespace menutest
