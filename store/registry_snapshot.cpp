// Exact reads and writes of registry sub-trees, one key at a time.
#include "store/registry_snapshot.h"
#include "store/item_record.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"

namespace {
// The class every key the menu creates carries.
const wchar_t kKeyClass[] = L"key";
// Keys are read and then walked into.
const REGSAM kReadRights = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
// A value or key that changes while it is read is read again, a few times.
const int kReadAttempts = 8;
// Key names are at most 255 characters; value names at most 16383.
const DWORD kKeyNameChars = 256;
const DWORD kValueNameChars = 16384;

// Reads every value of `key` into `tree`.
bool ReadValues(HKEY key, SnapKey* tree) {
    std::vector<wchar_t> name(kValueNameChars);
    std::vector<BYTE> data;
    tree->values.clear();
    for (DWORD index = 0;;) {
        DWORD maxData = 0;
        if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &maxData, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        data.resize(maxData + 1);
        LONG rc = ERROR_MORE_DATA;
        DWORD nameLength = 0, size = 0, type = 0;
        for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_MORE_DATA; ++attempt) {
            nameLength = kValueNameChars;
            size = static_cast<DWORD>(data.size());
            rc = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(),
                               &size);
            if (rc == ERROR_MORE_DATA) data.resize(data.size() * 2 + size);
        }
        if (rc == ERROR_NO_MORE_ITEMS) return true;
        if (rc != ERROR_SUCCESS) return false;
        SnapValue value;
        value.name.assign(reinterpret_cast<const char16_t*>(name.data()), nameLength);
        value.type = type;
        value.bytes.assign(reinterpret_cast<const char*>(data.data()), size);
        tree->values.push_back(std::move(value));
        ++index;
    }
}

// Reads the values of `key` and the names of its sub-keys (which stay empty).
bool ReadOneKey(HKEY key, SnapKey* tree) {
    if (!ReadValues(key, tree)) return false;
    tree->subkeys.clear();
    wchar_t name[kKeyNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD length = kKeyNameChars;
        LONG rc = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) return true;
        if (rc != ERROR_SUCCESS) return false;
        tree->subkeys.emplace_back();
        tree->subkeys.back().name.assign(reinterpret_cast<const char16_t*>(name), length);
    }
}

bool WriteValues(HKEY key, const SnapKey& tree) {
    for (const SnapValue& value : tree.values)
        if (!WriteSnapValue(key, value.name, value.type, value.bytes)) return false;
    return true;
}

OwnedKey CreateChild(HKEY parent, const std::u16string& name) {
    OwnedKey child;
    if (RegCreateKeyExW(parent, Wide(name), 0, const_cast<wchar_t*>(kKeyClass),
                        REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, child.Put(),
                        nullptr) != ERROR_SUCCESS)
        return OwnedKey();
    return child;
}
} // namespace

bool KeyPathNames(const std::string& keyPath, std::vector<std::u16string>* names) {
    names->clear();
    if (keyPath.empty()) return true;
    size_t start = 0;
    for (;;) {
        const size_t end = keyPath.find('\\', start);
        const std::string name =
            keyPath.substr(start, end == std::string::npos ? end : end - start);
        wchar_t wide[kTextBufferSize];
        if (name.empty() || names->size() >= kMaxSnapDepth ||
            !ToWide(name.c_str(), wide, kTextBufferSize))
            return false;
        names->emplace_back(reinterpret_cast<const char16_t*>(wide));
        if (names->back().size() > kMaxSnapName) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

OwnedKey OpenKeyBelowSettings(const std::vector<std::u16string>& names, REGSAM rights,
                              bool* missing) {
    *missing = false;
    OwnedKey key;
    LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, QUORIL_SETTINGS_PATH, 0,
                            names.empty() ? rights : KEY_ENUMERATE_SUB_KEYS, key.Put());
    for (size_t i = 0; rc == ERROR_SUCCESS && i < names.size(); ++i) {
        OwnedKey child;
        rc = RegOpenKeyExW(key.Get(), Wide(names[i]), 0,
                           i + 1 == names.size() ? rights : KEY_ENUMERATE_SUB_KEYS, child.Put());
        key = std::move(child);
    }
    if (rc == ERROR_SUCCESS) return key;
    *missing = rc == ERROR_FILE_NOT_FOUND;
    return OwnedKey();
}

bool ReadSnapTree(HKEY key, SnapKey* tree) {
    struct Frame {
        OwnedKey owned; // null for the borrowed root
        HKEY key;
        SnapKey* node;
        size_t next;
    };
    if (!ReadOneKey(key, tree)) return false;
    std::vector<Frame> stack;
    stack.push_back({OwnedKey(), key, tree, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.node->subkeys.size()) {
            stack.pop_back();
            continue;
        }
        // The node's sub-keys were all added before: pointers to them stay valid.
        SnapKey* child = &top.node->subkeys[top.next++];
        OwnedKey opened;
        if (RegOpenKeyExW(top.key, Wide(child->name), 0, kReadRights, opened.Put()) !=
                ERROR_SUCCESS ||
            !ReadOneKey(opened.Get(), child))
            return false;
        HKEY handle = opened.Get();
        stack.push_back({std::move(opened), handle, child, 0});
    }
    return true;
}

bool ReadSnapValue(HKEY key, const std::u16string& name, ChangeSide* side) {
    *side = ChangeSide();
    side->name = name;
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, Wide(name), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    for (int attempt = 0; attempt < kReadAttempts && rc == ERROR_SUCCESS; ++attempt) {
        std::string bytes(size, '\0');
        DWORD got = size;
        rc = RegQueryValueExW(key, Wide(name), nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]),
                              &got);
        if (rc == ERROR_MORE_DATA) {
            rc = RegQueryValueExW(key, Wide(name), nullptr, &type, nullptr, &size);
            continue;
        }
        if (rc != ERROR_SUCCESS) break;
        bytes.resize(got);
        side->present = true;
        side->type = type;
        side->bytes = std::move(bytes);
        return true;
    }
    return rc == ERROR_FILE_NOT_FOUND; // gone meanwhile
}

bool WriteSnapValue(HKEY key, const std::u16string& name, uint32_t type, const std::string& bytes) {
    // The registry adds a terminator to string data that lacks one when the
    // character after the data is zero: followed by one that is not, the
    // data is stored exactly as given.
    std::string padded = bytes;
    padded.append("\xFF\xFF\xFF\xFF", 4);
    return RegSetValueExW(key, Wide(name), 0, type, reinterpret_cast<const BYTE*>(padded.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool DeleteSnapTree(HKEY key, const std::u16string& name) {
    struct Frame {
        OwnedKey key;
        std::wstring name;
    };
    std::vector<Frame> stack;
    {
        OwnedKey root;
        LONG rc = RegOpenKeyExW(key, Wide(name), 0, kReadRights | DELETE, root.Put());
        if (rc == ERROR_FILE_NOT_FOUND) return true;
        if (rc != ERROR_SUCCESS) return false;
        stack.push_back({std::move(root), Wide(name)});
    }
    // Always the first child: a deleted one frees its index for the next.
    while (!stack.empty()) {
        wchar_t child[kKeyNameChars];
        DWORD length = kKeyNameChars;
        LONG rc = RegEnumKeyExW(stack.back().key.Get(), 0, child, &length, nullptr, nullptr,
                                nullptr, nullptr);
        if (rc == ERROR_SUCCESS) {
            OwnedKey opened;
            if (RegOpenKeyExW(stack.back().key.Get(), child, 0, kReadRights | DELETE,
                              opened.Put()) != ERROR_SUCCESS)
                return false;
            stack.push_back({std::move(opened), std::wstring(child, length)});
            continue;
        }
        if (rc != ERROR_NO_MORE_ITEMS) return false;
        const std::wstring done = stack.back().name;
        stack.pop_back();
        if (RegDeleteKeyW(stack.empty() ? key : stack.back().key.Get(), done.c_str()) !=
            ERROR_SUCCESS)
            return false;
    }
    return true;
}

bool WriteSnapTree(HKEY key, const SnapKey& tree) {
    struct Frame {
        OwnedKey key;
        const SnapKey* node;
        size_t next;
    };
    std::vector<Frame> stack;
    OwnedKey root = CreateChild(key, tree.name);
    if (!root || !WriteValues(root.Get(), tree)) return false;
    stack.push_back({std::move(root), &tree, 0});
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.node->subkeys.size()) {
            stack.pop_back();
            continue;
        }
        const SnapKey& child = top.node->subkeys[top.next++];
        OwnedKey created = CreateChild(top.key.Get(), child.name);
        if (!created || !WriteValues(created.Get(), child)) return false;
        stack.push_back({std::move(created), &child, 0});
    }
    return true;
}
