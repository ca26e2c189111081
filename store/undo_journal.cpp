// The undo journal's storage, and recording an edit into it.
#include "store/undo_journal.h"
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include "common/handle_guards.h"
#include "store/item_record.h"
#include "store/registry_names.h"
#include "store/registry_snapshot.h"
#include "store/undo_journal_store.h"

namespace {
const REGSAM kJournalRights = KEY_QUERY_VALUE | KEY_SET_VALUE;
const DWORD kNameChars = 16384;

// Eight upper-case hex digits: the names this journal gives its steps.
bool StepSequence(const std::wstring& name, uint32_t* sequence) {
    if (name.size() != 8) return false;
    uint32_t n = 0;
    for (wchar_t c : name) {
        int digit = (c >= L'0' && c <= L'9')   ? c - L'0'
                    : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                                               : -1;
        if (digit < 0) return false;
        n = n * 16 + static_cast<uint32_t>(digit);
    }
    *sequence = n;
    return true;
}

std::wstring StepName(uint32_t sequence) {
    wchar_t name[16];
    swprintf(name, 16, L"%08X", sequence);
    return name;
}

bool ReadStepData(HKEY key, const std::wstring& name, std::string* data) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size > kMaxStepBytes)
        return false;
    data->assign(size, '\0');
    DWORD got = size;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&(*data)[0]),
                         &got) != ERROR_SUCCESS ||
        type != REG_BINARY || got != size)
        return false;
    return true;
}
} // namespace

OwnedKey OpenJournal(bool create) {
    OwnedKey key;
    LONG rc =
        create
            ? RegCreateKeyExA(HKEY_CURRENT_USER, QUORIL_UNDO_PATH, 0, nullptr,
                              REG_OPTION_NON_VOLATILE, kJournalRights, nullptr, key.Put(), nullptr)
            : RegOpenKeyExA(HKEY_CURRENT_USER, QUORIL_UNDO_PATH, 0, kJournalRights, key.Put());
    return rc == ERROR_SUCCESS ? std::move(key) : OwnedKey();
}

std::vector<JournalStep> ReadJournal(HKEY key) {
    std::vector<JournalStep> steps;
    std::vector<std::wstring> foreign;
    std::vector<wchar_t> name(kNameChars);
    for (DWORD index = 0;; ++index) {
        DWORD length = kNameChars, type = 0;
        LONG rc = RegEnumValueW(key, index, name.data(), &length, nullptr, &type, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) continue; // a name no step has, too long to delete by
        if (rc != ERROR_SUCCESS) break;
        JournalStep step;
        step.name.assign(name.data(), length);
        if (StepSequence(step.name, &step.sequence) && type == REG_BINARY)
            steps.push_back(std::move(step));
        else
            foreign.push_back(step.name);
    }
    std::vector<JournalStep> intact;
    for (JournalStep& step : steps) {
        EditStep parsed;
        if (ReadStepData(key, step.name, &step.data) && ParseStep(step.data, &parsed))
            intact.push_back(std::move(step));
        else
            foreign.push_back(step.name);
    }
    for (const std::wstring& gone : foreign)
        RegDeleteValueW(key, gone.c_str());
    std::sort(intact.begin(), intact.end(),
              [](const JournalStep& a, const JournalStep& b) { return a.sequence < b.sequence; });
    return intact;
}

bool PushUndoStep(const EditStep& step) {
    const std::string data = SerializeStep(step);
    if (data.empty() || data.size() > kUndoBudgetBytes) return false;
    OwnedKey key = OpenJournal(true);
    if (!key) return false;
    std::vector<JournalStep> steps = ReadJournal(key.Get());
    if (!steps.empty() && steps.back().sequence == 0xFFFFFFFFu) {
        // No number is left after the newest: the journal starts again.
        for (const JournalStep& old : steps)
            RegDeleteValueW(key.Get(), old.name.c_str());
        steps.clear();
    }
    JournalStep added;
    added.sequence = steps.empty() ? 1 : steps.back().sequence + 1;
    added.name = StepName(added.sequence);
    if (RegSetValueExW(key.Get(), added.name.c_str(), 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        return false;
    size_t total = data.size();
    for (const JournalStep& old : steps)
        total += old.data.size();
    // The oldest go first, until the steps fit the bounds again.
    size_t count = steps.size() + 1;
    for (const JournalStep& old : steps) {
        if (count <= kUndoMaxSteps && total <= kUndoBudgetBytes) break;
        RegDeleteValueW(key.Get(), old.name.c_str());
        total -= old.data.size();
        --count;
    }
    return true;
}

bool PeekUndo(std::string* label) {
    OwnedKey key = OpenJournal(false);
    if (!key) return false;
    std::vector<JournalStep> steps = ReadJournal(key.Get());
    EditStep step;
    if (steps.empty() || !ParseStep(steps.back().data, &step)) return false;
    *label = step.label;
    return true;
}

bool SnapshotKey(const std::string& keyPath, SnapKey* out) {
    std::vector<std::u16string> names;
    bool missing = false;
    if (!KeyPathNames(keyPath, &names)) return false;
    OwnedKey key = OpenKeyBelowSettings(names, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &missing);
    if (!key) return false;
    *out = SnapKey();
    if (!names.empty()) out->name = names.back();
    return ReadSnapTree(key.Get(), out);
}

bool EditRecorder::Begin(const std::string& holdingKeyPath) {
    m_begun = KeyPathNames(holdingKeyPath, &m_path) && SnapshotKey(holdingKeyPath, &m_before);
    if (!m_begun) m_before = SnapKey();
    return m_begun;
}

void EditRecorder::Cancel() {
    m_begun = false;
    m_before = SnapKey();
}

bool EditRecorder::Commit(const std::string& label, const std::string& subjectKeyPath,
                          const std::string& subjectName) {
    if (!m_begun) return false;
    m_begun = false;
    EditStep step;
    step.label = label;
    wchar_t wideName[kTextBufferSize];
    if (!KeyPathNames(subjectKeyPath, &step.subjectPath) ||
        !ToWide(subjectName.c_str(), wideName, kTextBufferSize))
        step.subjectPath.clear();
    else
        step.subjectName = reinterpret_cast<const char16_t*>(wideName);
    // Read again below the settings key by the names taken at Begin.
    bool missing = false;
    OwnedKey key = OpenKeyBelowSettings(m_path, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &missing);
    SnapKey after;
    after.name = m_before.name;
    if (key) {
        if (!ReadSnapTree(key.Get(), &after)) return false;
        step.changes = DiffSnapshots(m_before, after, m_path);
    } else if (missing && !m_path.empty()) {
        // The edit removed the key itself: one change in the key holding it.
        EditChange change;
        change.keyPath.assign(m_path.begin(), m_path.end() - 1);
        change.isSubkey = true;
        change.name = m_before.name;
        change.before.present = true;
        change.before.name = m_before.name;
        change.before.tree = std::move(m_before);
        step.changes.push_back(std::move(change));
    }
    m_before = SnapKey();
    return !step.changes.empty() && PushUndoStep(step);
}
