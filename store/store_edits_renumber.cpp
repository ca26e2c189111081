// Keeping the positions of the siblings in one key consistent: shifting after
// an insert or delete, moving one record, and filling in missing positions.
// Every visited record is rewritten in full eight-field item form.
#include <stdio.h>
#include <string.h>
#include <utility>
#include "common/handle_guards.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"
#include "store/store_edits.h"
#include "store/store_edits_values.h"

namespace {
const REGSAM kRenumberRights = KEY_READ | KEY_SET_VALUE;

int NumberLength(int value) {
    char digits[16];
    return snprintf(digits, sizeof digits, "%d", value);
}

size_t TextLength(const char* text) {
    return text ? strlen(text) : 0;
}

// Composes `fields` with `position` in item form into `out`. False when the
// full record would not fit a record buffer: it must then stay as stored
// rather than be written back cut short.
bool ComposeRecord(const MenuItemFields& f, int position, char* out) {
    size_t length = 7 + TextLength(f.target) + TextLength(f.parameters) + TextLength(f.startIn) +
                    TextLength(f.iconPath) + NumberLength(position == -1 ? 1 : position) +
                    NumberLength(f.separator);
    if (f.iconIndex >= 0) length += NumberLength(f.iconIndex);
    if (f.runMode >= 0) length += NumberLength(f.runMode);
    if (length >= kRecordBufferSize) return false;
    BuildItemRecord(false, f.target, f.parameters, f.startIn, f.iconPath, f.iconIndex, f.runMode,
                    position, f.separator, out);
    return true;
}

// Gives the renumbering operations a handle that may enumerate and rewrite
// the key the lookup returned, whatever rights the lookup asked for.
HKEY ReopenForRenumbering(OwnedKey found) {
    HKEY key;
    if (RegOpenKeyExA(found.Get(), "", 0, kRenumberRights, &key) != ERROR_SUCCESS)
        return found.Release();
    return key;
}

HKEY FindKeyOfItem(HMENU menu, UINT itemId) {
    if (!menu || !itemId) return nullptr;
    OwnedKey key(FindItemKey(OpenSettingsKey(), menu, itemId));
    return key ? ReopenForRenumbering(std::move(key)) : nullptr;
}

// New position for the stored position p of one record.
typedef int (*PositionRule)(int p, int first, int second);

int ShiftRule(int p, int fromPosition, int delta) {
    return p >= fromPosition ? p + delta : p;
}

int MoveRule(int p, int oldPosition, int newPosition) {
    if (p == oldPosition) return newPosition;
    if (newPosition < oldPosition && newPosition <= p && p < oldPosition) return p + 1;
    if (newPosition > oldPosition && oldPosition < p && p <= newPosition) return p - 1;
    return p;
}

// Renumbers one record read from value `name` of `key` (null: the default
// value). Returns false when there was no record to renumber.
bool RenumberRecord(HKEY key, const char* name, int running, PositionRule rule, int first,
                    int second) {
    char record[kRecordBufferSize];
    if (!ReadRecordValue(key, name, record)) return false;
    MenuItemFields fields;
    ParseItemRecord(running, true, record, &fields);
    int position = rule(fields.position + 1, first, second);
    char composed[kRecordBufferSize];
    if (ComposeRecord(fields, position, composed)) WriteRecordValue(key, name, composed);
    return true;
}

// Values first, then the sub-keys' default values, one running number for
// records without a position.
void RenumberKey(HKEY key, PositionRule rule, int first, int second) {
    int running = 1;
    char name[kTextBufferSize];
    DWORD type = 0;
    RegistryEnumStep step;
    for (DWORD index = 0; (step = EnumValueName(key, index, name, &type)) != kRegistryEnd;
         ++index) {
        // Only REG_SZ values are records; anything else is left as it is.
        if (step == kRegistrySkip || !name[0] || type != REG_SZ) continue;
        if (RenumberRecord(key, name, running, rule, first, second)) ++running;
    }
    for (DWORD index = 0; EnumSubkeyName(key, index, name) == kRegistryEntry; ++index) {
        OwnedKey subkey;
        if (!name[0] || RegOpenKeyExA(key, name, 0, kRenumberRights, subkey.Put()) != ERROR_SUCCESS)
            continue;
        if (RenumberRecord(subkey.Get(), nullptr, running, rule, first, second)) ++running;
    }
}

// Fills in a missing position of the record in value `name` of `key` with
// `next`; returns the number the record after it gets.
int NormalizeRecord(HKEY key, const char* name, int next) {
    char record[kRecordBufferSize];
    if (!ReadRecordValue(key, name, record)) return next;
    MenuItemFields fields;
    ParseItemRecord(next, false, record, &fields);
    int position = fields.position != 0 ? fields.position : next;
    char composed[kRecordBufferSize];
    if (ComposeRecord(fields, position, composed)) WriteRecordValue(key, name, composed);
    return position + 1;
}

void NormalizeKey(HKEY key) {
    int next = 1;
    char name[kTextBufferSize];
    for (DWORD index = 0; EnumSubkeyName(key, index, name) == kRegistryEntry; ++index) {
        OwnedKey subkey;
        if (!name[0] || RegOpenKeyExA(key, name, 0, kRenumberRights, subkey.Put()) != ERROR_SUCCESS)
            continue;
        next = NormalizeRecord(subkey.Get(), nullptr, next);
        NormalizeKey(subkey.Get()); // a sub-key without a record is still a submenu
    }
    DWORD type = 0;
    RegistryEnumStep step;
    for (DWORD index = 0; (step = EnumValueName(key, index, name, &type)) != kRegistryEnd;
         ++index) {
        if (step == kRegistrySkip || !name[0] || type != REG_SZ) continue;
        next = NormalizeRecord(key, name, next);
    }
}
} // namespace

void ShiftPositions(HMENU menu, UINT itemId, int fromPosition, int delta) {
    OwnedKey key(FindKeyOfItem(menu, itemId));
    if (key) RenumberKey(key.Get(), ShiftRule, fromPosition, delta);
}

void MovePosition(HMENU menu, UINT itemId, int oldPosition, int newPosition) {
    OwnedKey key(FindKeyOfItem(menu, itemId));
    if (key) RenumberKey(key.Get(), MoveRule, oldPosition, newPosition);
}

void NormalizePositions(HKEY key) {
    if (key) {
        NormalizeKey(key);
        return;
    }
    OwnedKey settings(OpenSettingsKey());
    if (settings) NormalizeKey(settings.Get());
}
