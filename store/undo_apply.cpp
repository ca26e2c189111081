// Undoing the newest step: every place it changed is first checked to hold
// what the step left there; then each gets back what it held before, and a
// write that fails puts back what was already written.
#include <windows.h>
#include "common/handle_guards.h"
#include "store/record_tidying.h"
#include "store/registry_names.h"
#include "store/registry_snapshot.h"
#include "store/undo_journal.h"
#include "store/undo_journal_store.h"

namespace {
const REGSAM kCheckRights = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
const REGSAM kWriteRights = KEY_READ | KEY_WRITE;

enum PlaceCheck { kPlaceAsLeft, kPlaceChanged, kPlaceUnreadable };

// A press's rewriting of a record the step left is no change by anyone.
bool SameValue(uint32_t type, const std::string& bytes, const ChangeSide& left) {
    return type == left.type &&
           (bytes == left.bytes || (type == REG_SZ && IsTidiedRecord(left.bytes, bytes)));
}

bool SameTree(const SnapKey& now, const SnapKey& left) {
    for (const EditChange& change : DiffSnapshots(left, now, {})) {
        if (change.isSubkey || !change.before.present || !change.after.present ||
            !SameValue(change.after.type, change.after.bytes, change.before))
            return false;
    }
    return true;
}

// Reads what the place of `change` holds now into `now` and compares it with
// what the step left there.
PlaceCheck CheckPlace(const EditChange& change, ChangeSide* now) {
    bool missing = false;
    OwnedKey key = OpenKeyBelowSettings(change.keyPath, kCheckRights, &missing);
    // The keys on the way were there when the step was recorded.
    if (!key) return missing ? kPlaceChanged : kPlaceUnreadable;
    const ChangeSide& left = change.after;
    if (!change.isSubkey) {
        if (!ReadSnapValue(key.Get(), change.name, now)) return kPlaceUnreadable;
        if (now->present) now->name = left.present ? left.name : change.name;
        if (now->present != left.present) return kPlaceChanged;
        return !now->present || SameValue(now->type, now->bytes, left) ? kPlaceAsLeft
                                                                       : kPlaceChanged;
    }
    *now = ChangeSide();
    OwnedKey subkey;
    LONG rc = RegOpenKeyExW(key.Get(), Wide(change.name), 0, kCheckRights, subkey.Put());
    if (rc == ERROR_FILE_NOT_FOUND) return left.present ? kPlaceChanged : kPlaceAsLeft;
    if (rc != ERROR_SUCCESS) return kPlaceUnreadable;
    now->present = true;
    now->name = left.present ? left.name : change.name;
    now->tree.name = now->name;
    if (!ReadSnapTree(subkey.Get(), &now->tree)) return kPlaceUnreadable;
    return left.present && SameTree(now->tree, left.tree) ? kPlaceAsLeft : kPlaceChanged;
}

// Makes the place of `change`, which holds `from` (or part of it), hold `to`.
bool WritePlace(const EditChange& change, const ChangeSide& from, const ChangeSide& to) {
    bool missing = false;
    OwnedKey key = OpenKeyBelowSettings(change.keyPath, kWriteRights, &missing);
    if (!key) return false;
    if (change.isSubkey) {
        return DeleteSnapTree(key.Get(), change.name) &&
               (!to.present || WriteSnapTree(key.Get(), to.tree));
    }
    if (!to.present || !from.present || from.name != to.name) {
        // A value of another case is deleted first, so that the name is put back as it was.
        LONG rc = RegDeleteValueW(key.Get(), Wide(change.name));
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
    }
    return !to.present || WriteSnapValue(key.Get(), to.name, to.type, to.bytes);
}

UndoOutcome Apply(const EditStep& step) {
    std::vector<ChangeSide> now(step.changes.size());
    for (size_t i = 0; i < step.changes.size(); ++i) {
        PlaceCheck check = CheckPlace(step.changes[i], &now[i]);
        if (check == kPlaceChanged) return kUndoChangedSince;
        if (check == kPlaceUnreadable) return kUndoFailed;
    }
    for (size_t i = 0; i < step.changes.size(); ++i) {
        if (WritePlace(step.changes[i], now[i], step.changes[i].before)) continue;
        // Back to what was there, the failed place included.
        for (size_t j = i + 1; j-- > 0;)
            WritePlace(step.changes[j], step.changes[j].before, now[j]);
        return kUndoFailed;
    }
    return kUndoDone;
}

void FillRestored(const EditStep& step, UndoRestored* restored) {
    *restored = UndoRestored();
    restored->label = step.label;
    restored->subjectPath = step.subjectPath;
    restored->subjectName = step.subjectName;
    restored->subjectAnsi = true;
    char ansi[kTextBufferSize];
    for (const std::u16string& name : step.subjectPath) {
        restored->subjectAnsi =
            restored->subjectAnsi &&
            ToExactAnsi(Wide(name), static_cast<int>(name.size()), ansi, sizeof ansi);
        if (restored->subjectAnsi)
            restored->subjectKeyPath +=
                (restored->subjectKeyPath.empty() ? "" : "\\") + std::string(ansi);
    }
    if (restored->subjectAnsi &&
        ToExactAnsi(Wide(step.subjectName), static_cast<int>(step.subjectName.size()), ansi,
                    sizeof ansi))
        restored->subjectAnsiName = ansi;
    else
        restored->subjectAnsi = false;
    if (!restored->subjectAnsi) restored->subjectKeyPath.clear();
}
} // namespace

UndoOutcome UndoNewest(UndoRestored* restored) {
    OwnedKey key = OpenJournal(false);
    if (!key) return kUndoNothing;
    std::vector<JournalStep> steps = ReadJournal(key.Get());
    EditStep step;
    if (steps.empty() || !ParseStep(steps.back().data, &step)) return kUndoNothing;
    const UndoOutcome outcome = Apply(step);
    if (outcome != kUndoDone) return outcome;
    RegDeleteValueW(key.Get(), steps.back().name.c_str());
    if (restored) FillRestored(step, restored);
    return kUndoDone;
}
