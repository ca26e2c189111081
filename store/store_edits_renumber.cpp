// Keeping the positions of the siblings in one key consistent: shifting after
// an insert or delete, moving one record, and filling in missing positions.
// Every visited record is brought into full eight-field item form; its text
// fields are kept to the last character, whatever the code page holds.
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include "common/handle_guards.h"
#include "store/registry_layout.h"
#include "store/registry_names.h"
#include "store/store_edits.h"
#include "store/store_edits_values.h"
#include "store/stored_menu.h"

namespace {
// Sub-keys are opened to read and rewrite their own records.
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

// The stored record composed again: its four text fields exactly as stored,
// then the numbers of `composed` (the record as BuildItemRecord made it from
// `fields`, parsed from `shadow`), which follow its fourth comma.
void SpliceStoredText(const StoredRecord& stored, const char* shadow, const MenuItemFields& fields,
                      const char* composed, StoredRecord* out) {
    int n = 0;
    const char* texts[] = {fields.target, fields.parameters, fields.startIn, fields.iconPath};
    for (const char* text : texts) {
        if (text) {
            int length = static_cast<int>(strlen(text));
            wmemcpy(out->text + n, stored.text + (text - shadow), length);
            n += length;
        }
        out->text[n++] = L',';
    }
    const char* numbers = composed;
    for (int commas = 0; commas < 4; ++numbers)
        if (*numbers == ',') ++commas;
    while (*numbers)
        out->text[n++] = static_cast<unsigned char>(*numbers++);
    out->text[n] = L'\0';
    out->length = n;
}

// Gives the record `stored`, read from value `name` of `key` (null: the
// default value), the position that `choose` picks from its fields, parsed as
// ParseItemRecord (defaultPosition, zeroBased) parses them, and stores it in
// full item form. The record is read and written through the wide API, so
// that its text keeps every character, those the code page cannot hold
// included; one whose text does not change is not written. Returns the
// position chosen; `stored` then holds the record as it is stored, and
// `written` (when given) says whether it was written.
template <typename Choose>
int RepositionStoredRecord(HKEY key, const wchar_t* name, StoredRecord* stored, int defaultPosition,
                           bool zeroBased, Choose choose, bool* written = nullptr) {
    // Parsing looks only at commas, digits, signs and blanks, all ASCII: it
    // reads a stand-in in which every other character is one '?', so that a
    // field's place there is its place in the stored text.
    char shadow[kRecordBufferSize];
    for (int i = 0; i <= stored->length; ++i)
        shadow[i] = stored->text[i] < 0x80 ? static_cast<char>(stored->text[i]) : '?';
    MenuItemFields fields;
    ParseItemRecord(defaultPosition, zeroBased, shadow, &fields);
    const int position = choose(fields);
    char composed[kRecordBufferSize];
    if (!ComposeRecord(fields, position, composed)) return position; // stays as stored
    StoredRecord rewritten;
    SpliceStoredText(*stored, shadow, fields, composed, &rewritten);
    if ((rewritten.length != stored->length ||
         wmemcmp(rewritten.text, stored->text, stored->length) != 0) &&
        WriteStoredRecord(key, name, rewritten.text, rewritten.length)) {
        *stored = rewritten;
        if (written) *written = true;
    }
    return position;
}

// As RepositionStoredRecord, for the record that value `name` of `key` holds
// now. False when there is no record to renumber.
template <typename Choose>
bool RepositionRecord(HKEY key, const wchar_t* name, int defaultPosition, bool zeroBased,
                      Choose choose, int* position) {
    StoredRecord stored;
    if (!ReadStoredRecord(key, name, &stored)) return false;
    *position = RepositionStoredRecord(key, name, &stored, defaultPosition, zeroBased, choose);
    return true;
}

// Renumbers one record with `rule`; a record without a position counts as
// the running number plus one.
bool RenumberRecord(HKEY key, const wchar_t* name, int running, PositionRule rule, int first,
                    int second) {
    int position;
    return RepositionRecord(
        key, name, running, true,
        [&](const MenuItemFields& f) { return rule(f.position + 1, first, second); }, &position);
}

// Values first, then the sub-keys' default values, one running number for
// records without a position.
void RenumberKey(HKEY key, PositionRule rule, int first, int second) {
    int running = 1;
    RegistryName name;
    DWORD type = 0;
    RegistryEnumStep step;
    for (DWORD index = 0; (step = EnumValueName(key, index, &name, &type)) != kRegistryEnd;
         ++index) {
        // Only REG_SZ values are records; anything else is left as it is.
        if (step == kRegistrySkip || !name.wide[0] || type != REG_SZ) continue;
        if (RenumberRecord(key, name.wide, running, rule, first, second)) ++running;
    }
    for (DWORD index = 0; EnumSubkeyName(key, index, &name) == kRegistryEntry; ++index) {
        OwnedKey subkey;
        if (!name.wide[0] ||
            RegOpenKeyExW(key, name.wide, 0, kRenumberRights, subkey.Put()) != ERROR_SUCCESS)
            continue;
        if (RenumberRecord(subkey.Get(), nullptr, running, rule, first, second)) ++running;
    }
}

} // namespace

int NormalizeStoredRecord(HKEY key, const wchar_t* name, StoredRecord* stored, int next,
                          bool* written) {
    *written = false;
    return RepositionStoredRecord(
        key, name, stored, next, false,
        [&](const MenuItemFields& f) { return f.position != 0 ? f.position : next; }, written);
}

void ShiftPositions(const std::string& keyPath, int fromPosition, int delta) {
    OwnedKey key = OpenMenuKey(keyPath);
    if (key) RenumberKey(key.Get(), ShiftRule, fromPosition, delta);
}

void MovePosition(const std::string& keyPath, int oldPosition, int newPosition) {
    OwnedKey key = OpenMenuKey(keyPath);
    if (key) RenumberKey(key.Get(), MoveRule, oldPosition, newPosition);
}
