// Comparing two snapshots of one key: the places where an edit changed it.
#include "store/edit_snapshot.h"
#include <map>

namespace {
// The registry matches names regardless of case; ASCII letters are folded
// here, which covers every name the editor itself writes.
std::u16string Folded(const std::u16string& name) {
    std::u16string folded = name;
    for (char16_t& c : folded)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return folded;
}

template <typename Entry>
std::map<std::u16string, const Entry*> ByName(const std::vector<Entry>& v) {
    std::map<std::u16string, const Entry*> byName;
    for (const Entry& entry : v)
        byName.emplace(Folded(entry.name), &entry);
    return byName;
}

void SetValueSide(const SnapValue* value, ChangeSide* side) {
    if (!value) return;
    side->present = true;
    side->name = value->name;
    side->type = value->type;
    side->bytes = value->bytes;
}

void SetKeySide(const SnapKey* key, ChangeSide* side) {
    if (!key) return;
    side->present = true;
    side->name = key->name;
    side->tree = *key;
}

// Two keys present on both sides, met at `path` (the base path, then the
// names of the keys on the way).
struct Pair {
    const SnapKey* before;
    const SnapKey* after;
    std::vector<std::u16string> path;
};

void DiffValues(const Pair& pair, std::vector<EditChange>* changes) {
    auto before = ByName(pair.before->values);
    auto after = ByName(pair.after->values);
    for (auto& entry : before) {
        auto found = after.find(entry.first);
        const SnapValue* now = found == after.end() ? nullptr : found->second;
        if (now && now->type == entry.second->type && now->bytes == entry.second->bytes &&
            now->name == entry.second->name)
            continue;
        EditChange change;
        change.keyPath = pair.path;
        change.name = entry.second->name;
        SetValueSide(entry.second, &change.before);
        SetValueSide(now, &change.after);
        changes->push_back(std::move(change));
    }
    for (auto& entry : after) {
        if (before.count(entry.first)) continue;
        EditChange change;
        change.keyPath = pair.path;
        change.name = entry.second->name;
        SetValueSide(entry.second, &change.after);
        changes->push_back(std::move(change));
    }
}

// Sub-keys on one side only become changes; those on both are queued.
void DiffSubkeys(const Pair& pair, std::vector<EditChange>* changes, std::vector<Pair>* queue) {
    auto before = ByName(pair.before->subkeys);
    auto after = ByName(pair.after->subkeys);
    for (auto& entry : before) {
        auto found = after.find(entry.first);
        if (found != after.end()) {
            Pair inner{entry.second, found->second, pair.path};
            inner.path.push_back(found->second->name);
            queue->push_back(std::move(inner));
            continue;
        }
        EditChange change;
        change.keyPath = pair.path;
        change.isSubkey = true;
        change.name = entry.second->name;
        SetKeySide(entry.second, &change.before);
        changes->push_back(std::move(change));
    }
    for (auto& entry : after) {
        if (before.count(entry.first)) continue;
        EditChange change;
        change.keyPath = pair.path;
        change.isSubkey = true;
        change.name = entry.second->name;
        SetKeySide(entry.second, &change.after);
        changes->push_back(std::move(change));
    }
}
} // namespace

bool SameEntryName(const std::u16string& a, const std::u16string& b) {
    return Folded(a) == Folded(b);
}

std::vector<EditChange> DiffSnapshots(const SnapKey& before, const SnapKey& after,
                                      const std::vector<std::u16string>& basePath) {
    std::vector<EditChange> changes;
    std::vector<Pair> queue{{&before, &after, basePath}};
    while (!queue.empty()) {
        Pair pair = std::move(queue.back());
        queue.pop_back();
        DiffValues(pair, &changes);
        DiffSubkeys(pair, &changes, &queue);
    }
    return changes;
}

bool SameSnapshot(const SnapKey& a, const SnapKey& b) {
    return a.name == b.name && DiffSnapshots(a, b, {}).empty();
}
