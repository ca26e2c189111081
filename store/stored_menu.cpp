// Reading the stored menu in one pass. Each value comes with its data in one
// enumeration step, instead of an enumeration and a query per value; and
// normalizing and building share that one reading.
#include "store/stored_menu.h"
#include <string.h>
#include "common/handle_guards.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"
#include "store/store_edits_values.h"

namespace {
// Sub-keys are opened to be read and, when normalizing, rewritten.
const REGSAM kNormalizeRights = KEY_READ | KEY_SET_VALUE;

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool TakeStamp(HKEY key, KeyStamp* stamp) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &stamp->subkeys, nullptr, nullptr,
                            &stamp->values, nullptr, nullptr, nullptr,
                            &stamp->written) == ERROR_SUCCESS;
}

bool SameStamp(const KeyStamp& a, const KeyStamp& b) {
    return Ticks(a.written) == Ticks(b.written) && a.values == b.values && a.subkeys == b.subkeys;
}

// Whether `key` and the keys beneath it still look as `kept` saw them.
bool Unchanged(HKEY key, const StoredKey& kept) {
    KeyStamp now;
    if (!TakeStamp(key, &now) || !SameStamp(now, kept.stamp)) return false;
    for (const StoredKey& child : kept.subkeys) {
        OwnedKey subkey;
        if (RegOpenKeyExW(key, child.name.c_str(), 0, KEY_READ, subkey.Put()) != ERROR_SUCCESS ||
            !Unchanged(subkey.Get(), child))
            return false;
    }
    return true;
}

// Whether no key of `tree` was written after `limit` and every stamp was taken.
bool SettledBefore(const StoredKey& tree, ULONGLONG limit) {
    if (!tree.whole || Ticks(tree.stamp.written) > limit) return false;
    for (const StoredKey& child : tree.subkeys) {
        if (!SettledBefore(child, limit)) return false;
    }
    return true;
}

void SetName(const wchar_t* wide, DWORD length, StoredValue* value) {
    value->name.assign(wide, length);
    char ansi[kTextBufferSize];
    value->exact = ToExactAnsi(wide, static_cast<int>(length), ansi, sizeof ansi);
    value->ansiName = value->exact ? ansi : "";
}

// Reads value `index` of `key` with its data.
RegistryEnumStep ReadValueAt(HKEY key, DWORD index, StoredValue* value) {
    wchar_t name[kTextBufferSize];
    DWORD nameLength = kTextBufferSize;
    wchar_t data[kRecordBufferSize]; // as ReadStoredRecord reads a record
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    LONG rc = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data), &size);
    if (rc == ERROR_MORE_DATA) {
        // The name or the data does not fit: asked again without the data to
        // tell which. Data that does not fit is no record, for either reader.
        RegistryName only;
        RegistryEnumStep step = EnumValueName(key, index, &only, &type);
        if (step != kRegistryEntry) return step;
        SetName(only.wide, static_cast<DWORD>(wcslen(only.wide)), value);
        value->type = type;
        value->tooLong = true;
        return kRegistryEntry;
    }
    if (rc != ERROR_SUCCESS) return kRegistryEnd;
    SetName(name, nameLength, value);
    value->type = type;
    value->data.assign(reinterpret_cast<const char*>(data), size);
    return kRegistryEntry;
}

// Gives the record of `value` (in `key`) its position when it has none;
// returns the number the record after it gets.
int NormalizeValue(HKEY key, StoredValue* value, int next) {
    StoredRecord stored;
    if (!StoredWideRecord(*value, &stored)) return next;
    bool written = false;
    const int position = NormalizeStoredRecord(
        key, value->name.empty() ? nullptr : value->name.c_str(), &stored, next, &written);
    // Stored without a terminator, as it was written.
    if (written)
        value->data.assign(reinterpret_cast<const char*>(stored.text),
                           stored.length * sizeof(wchar_t));
    return position + 1;
}

// The sub-keys of `key` beneath `node` (whose values are read), sub-keys
// first and then values, each without a position numbered after the one before.
void ReadSubtree(HKEY key, bool normalize, StoredKey* node) {
    int next = 1;
    RegistryName name;
    for (DWORD index = 0; EnumSubkeyName(key, index, &name) == kRegistryEntry; ++index) {
        if (!name.wide[0]) continue;
        OwnedKey subkey;
        // A sub-key that cannot be rewritten is still shown, but neither it
        // nor anything beneath it is renumbered.
        const bool writable = normalize && RegOpenKeyExW(key, name.wide, 0, kNormalizeRights,
                                                         subkey.Put()) == ERROR_SUCCESS;
        if (!writable &&
            RegOpenKeyExW(key, name.wide, 0, KEY_READ, subkey.Put()) != ERROR_SUCCESS) {
            node->whole = false; // what it holds cannot be watched
            continue;
        }
        node->subkeys.emplace_back();
        StoredKey& child = node->subkeys.back();
        child.name = name.wide;
        child.ansiName = name.ansi;
        child.exact = name.exact;
        child.whole = TakeStamp(subkey.Get(), &child.stamp);
        ReadStoredValues(subkey.Get(), &child);
        if (writable && child.hasRecord) next = NormalizeValue(subkey.Get(), &child.record, next);
        ReadSubtree(subkey.Get(), writable, &child);
        if (!child.whole) node->whole = false;
    }
    if (!normalize) return;
    for (StoredValue& value : node->values)
        next = NormalizeValue(key, &value, next);
}
} // namespace

void ReadStoredValues(HKEY key, StoredKey* tree) {
    for (DWORD index = 0;; ++index) {
        StoredValue value;
        RegistryEnumStep step = ReadValueAt(key, index, &value);
        if (step == kRegistryEnd) break;
        if (step == kRegistrySkip) continue; // a name no item can have
        if (!value.name.empty()) {
            tree->values.push_back(std::move(value));
        } else {
            tree->hasRecord = true;
            tree->record = std::move(value);
        }
    }
}

void ReadStoredTree(HKEY key, bool normalize, StoredKey* tree) {
    tree->whole = TakeStamp(key, &tree->stamp);
    ReadStoredValues(key, tree);
    ReadSubtree(key, normalize, tree);
}

bool ReadAndNormalizeMenu(KeptMenu& kept, StoredKey* tree) {
    kept.m_lastReadKept = false;
    OwnedKey settings(OpenSettingsKey());
    if (!settings) return false;
    if (kept.m_kept && Unchanged(settings.Get(), kept.m_tree)) {
        *tree = kept.m_tree;
        kept.m_lastReadKept = true;
        return true;
    }
    kept.Release();
    FILETIME start;
    GetSystemTimeAsFileTime(&start);
    ReadStoredTree(settings.Get(), true, tree);
    // Records this read wrote gave their keys new times: the next press
    // reads those keys again and keeps what it finds then.
    const ULONGLONG startTicks = Ticks(start);
    if (startTicks > kept.m_settleTime && SettledBefore(*tree, startTicks - kept.m_settleTime)) {
        kept.m_tree = *tree;
        kept.m_kept = true;
    }
    return true;
}

void KeptMenu::Release() {
    m_kept = false;
    m_tree = StoredKey();
}

bool StoredWideRecord(const StoredValue& value, StoredRecord* record) {
    if (value.tooLong) {
        record->text[0] = L'\0';
        record->length = 0;
        return false;
    }
    return StoredRecordFromData(value.type, value.data.data(),
                                static_cast<DWORD>(value.data.size()), record);
}

bool StoredAnsiRecord(const StoredValue& value, char* record) {
    record[0] = '\0';
    if (value.type != REG_SZ || value.tooLong) return false;
    // Converted as the registry's ANSI API converts it, with the same limits.
    wchar_t wide[kRecordBufferSize];
    const int chars = static_cast<int>(value.data.size() / sizeof(wchar_t));
    memcpy(wide, value.data.data(), chars * sizeof(wchar_t));
    int size = 0;
    if (chars > 0) {
        size = WideCharToMultiByte(CP_ACP, 0, wide, chars, record, kRecordBufferSize, nullptr,
                                   nullptr);
        if (size <= 0) { // more than the buffer holds
            record[0] = '\0';
            return false;
        }
    }
    return TerminateRecord(record, static_cast<size_t>(size));
}
