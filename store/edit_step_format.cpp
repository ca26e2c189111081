// The stored form of an undo step. Little-endian throughout:
//   "QUND" | u32 version | u32 payload bytes | payload | u64 FNV-1a of all before it
// payload: label, subject path, subject name, u32 change count, changes.
// A text is a u32 count and its units; a tree is written key by key, depth
// first, each key as its name, its values and the number of its sub-keys.
// Reading checks every count against the bytes that are left before it
// allocates, so that damaged data can neither overrun nor exhaust memory.
#include <string.h>
#include "store/edit_snapshot.h"

namespace {
const char kMagic[4] = {'Q', 'U', 'N', 'D'};
const uint32_t kVersion = 1;
const size_t kHeaderBytes = 12;
const size_t kChecksumBytes = 8;
// The fewest bytes a stored value or key can take: a count that limits how
// many of them the bytes left can hold.
const size_t kLeastValueBytes = 4 + 4 + 4;
const size_t kLeastKeyBytes = 4 + 4 + 4;

uint64_t Fnv1a(const char* data, size_t size) {
    uint64_t hash = 1469598103934665603ULL;
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ULL;
    }
    return hash;
}

bool ValidName(const std::u16string& name, bool keyName) {
    if (name.size() > kMaxSnapName) return false;
    if (keyName && name.empty()) return false;
    for (char16_t c : name)
        if (c == 0 || (keyName && c == u'\\')) return false;
    return true;
}

bool ValidPath(const std::vector<std::u16string>& path) {
    if (path.size() > kMaxSnapDepth) return false;
    for (const std::u16string& name : path)
        if (!ValidName(name, true)) return false;
    return true;
}

// Appends (or, with a null `out`, only counts) the stored form.
class Writer {
  public:
    explicit Writer(std::string* out) : m_out(out) {}
    size_t Size() const { return m_size; }
    void Bytes(const void* data, size_t size) {
        m_size += size;
        if (m_out) m_out->append(static_cast<const char*>(data), size);
    }
    void U32(uint32_t v) {
        unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16),
                              static_cast<unsigned char>(v >> 24)};
        Bytes(b, 4);
    }
    void U8(uint8_t v) { Bytes(&v, 1); }
    void Text(const std::u16string& text) {
        U32(static_cast<uint32_t>(text.size()));
        for (char16_t c : text) {
            unsigned char b[2] = {static_cast<unsigned char>(c),
                                  static_cast<unsigned char>(c >> 8)};
            Bytes(b, 2);
        }
    }
    void Data(const std::string& data) {
        U32(static_cast<uint32_t>(data.size()));
        Bytes(data.data(), data.size());
    }
    void Path(const std::vector<std::u16string>& path) {
        U32(static_cast<uint32_t>(path.size()));
        for (const std::u16string& name : path)
            Text(name);
    }
    // False when a name or the depth exceeds a bound.
    bool Tree(const SnapKey& root, size_t baseDepth) {
        struct Frame {
            const SnapKey* key;
            size_t next;
        };
        std::vector<Frame> stack;
        if (baseDepth + 1 > kMaxSnapDepth || !Key(root)) return false;
        stack.push_back({&root, 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.key->subkeys.size()) {
                stack.pop_back();
                continue;
            }
            const SnapKey& child = top.key->subkeys[top.next++];
            if (baseDepth + stack.size() + 1 > kMaxSnapDepth || !Key(child)) return false;
            stack.push_back({&child, 0});
        }
        return true;
    }

  private:
    bool Key(const SnapKey& key) {
        if (!ValidName(key.name, true)) return false;
        Text(key.name);
        U32(static_cast<uint32_t>(key.values.size()));
        for (const SnapValue& value : key.values) {
            if (!ValidName(value.name, false)) return false;
            Text(value.name);
            U32(value.type);
            Data(value.bytes);
        }
        U32(static_cast<uint32_t>(key.subkeys.size()));
        return true;
    }
    std::string* m_out;
    size_t m_size = 0;
};

bool WriteSide(Writer& w, const EditChange& change, const ChangeSide& side) {
    w.U8(side.present ? 1 : 0);
    if (!side.present) return true;
    if (change.isSubkey)
        return side.tree.name == side.name && w.Tree(side.tree, change.keyPath.size());
    if (!ValidName(side.name, false)) return false;
    w.Text(side.name);
    w.U32(side.type);
    w.Data(side.bytes);
    return true;
}

// Writes the payload; false when the step exceeds a bound.
bool WritePayload(Writer& w, const EditStep& step) {
    if (step.label.size() > kMaxStepLabel || !ValidPath(step.subjectPath) ||
        !ValidName(step.subjectName, false))
        return false;
    w.Data(step.label);
    w.Path(step.subjectPath);
    w.Text(step.subjectName);
    w.U32(static_cast<uint32_t>(step.changes.size()));
    for (const EditChange& change : step.changes) {
        if (!ValidPath(change.keyPath) || !ValidName(change.name, change.isSubkey)) return false;
        w.Path(change.keyPath);
        w.U8(change.isSubkey ? 1 : 0);
        w.Text(change.name);
        if (!WriteSide(w, change, change.before) || !WriteSide(w, change, change.after))
            return false;
        if (w.Size() > kMaxStepBytes) return false;
    }
    return true;
}

// Reads from a bounded buffer; every read past its end fails and stays failed.
class Reader {
  public:
    Reader(const char* data, size_t size) : m_data(data), m_left(size) {}
    bool Ok() const { return m_ok; }
    size_t Left() const { return m_left; }
    bool Bytes(void* out, size_t size) {
        if (!m_ok || size > m_left) return m_ok = false;
        memcpy(out, m_data, size);
        m_data += size;
        m_left -= size;
        return true;
    }
    bool U32(uint32_t* v) {
        unsigned char b[4];
        if (!Bytes(b, 4)) return false;
        *v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }
    bool U8(uint8_t* v) { return Bytes(v, 1); }
    bool Flag(bool* v) {
        uint8_t b;
        if (!U8(&b) || b > 1) return m_ok = false;
        *v = b == 1;
        return true;
    }
    // A count of items of at least `least` bytes each, no more than `most`.
    bool Count(size_t least, size_t most, uint32_t* n) {
        if (!U32(n) || *n > most || *n > m_left / least) return m_ok = false;
        return true;
    }
    bool Text(std::u16string* text, bool keyName) {
        uint32_t n;
        if (!Count(2, kMaxSnapName, &n)) return false;
        text->resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            unsigned char b[2];
            if (!Bytes(b, 2)) return false;
            (*text)[i] = static_cast<char16_t>(b[0] | (b[1] << 8));
        }
        return ValidName(*text, keyName) || (m_ok = false);
    }
    bool Data(std::string* data, size_t most) {
        uint32_t n;
        if (!Count(1, most, &n)) return false;
        data->assign(m_data, n);
        m_data += n;
        m_left -= n;
        return true;
    }
    bool Path(std::vector<std::u16string>* path) {
        uint32_t n;
        if (!Count(4, kMaxSnapDepth, &n)) return false;
        path->resize(n);
        for (std::u16string& name : *path)
            if (!Text(&name, true)) return false;
        return true;
    }
    bool Tree(SnapKey* root, size_t baseDepth) {
        struct Frame {
            SnapKey* key;
            size_t next;
        };
        std::vector<Frame> stack;
        if (baseDepth + 1 > kMaxSnapDepth) return m_ok = false;
        if (!Key(root)) return false;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next == top.key->subkeys.size()) {
                stack.pop_back();
                continue;
            }
            SnapKey* child = &top.key->subkeys[top.next++];
            --m_pendingKeys;
            if (baseDepth + stack.size() + 1 > kMaxSnapDepth) return m_ok = false;
            if (!Key(child)) return false;
            stack.push_back({child, 0});
        }
        return true;
    }

  private:
    // Reads a key's name, values and sub-key count; its sub-keys are made
    // empty here and filled in by Tree, so the stack's pointers stay valid.
    bool Key(SnapKey* key) {
        uint32_t n;
        if (!Text(&key->name, true) || !Count(kLeastValueBytes, SIZE_MAX, &n)) return false;
        key->values.resize(n);
        for (SnapValue& value : key->values)
            if (!Text(&value.name, false) || !U32(&value.type) || !Data(&value.bytes, SIZE_MAX))
                return false;
        // Every key declared and not yet read needs bytes of its own: a
        // count is checked against those of all of them.
        if (!U32(&n) || m_pendingKeys > m_left / kLeastKeyBytes ||
            n > m_left / kLeastKeyBytes - m_pendingKeys)
            return m_ok = false;
        m_pendingKeys += n;
        key->subkeys.resize(n);
        return true;
    }
    const char* m_data;
    size_t m_left;
    size_t m_pendingKeys = 0; // declared sub-keys not read yet
    bool m_ok = true;
};

bool ReadSide(Reader& r, const EditChange& change, ChangeSide* side) {
    if (!r.Flag(&side->present)) return false;
    if (!side->present) return true;
    if (change.isSubkey) {
        if (!r.Tree(&side->tree, change.keyPath.size())) return false;
        side->name = side->tree.name;
        return SameEntryName(side->name, change.name);
    }
    return r.Text(&side->name, false) && r.U32(&side->type) && r.Data(&side->bytes, SIZE_MAX) &&
           SameEntryName(side->name, change.name);
}

bool ReadPayload(Reader& r, EditStep* step) {
    uint32_t n;
    if (!r.Data(&step->label, kMaxStepLabel) || !r.Path(&step->subjectPath) ||
        !r.Text(&step->subjectName, false) || !r.Count(4 + 1 + 4 + 2, SIZE_MAX, &n))
        return false;
    step->changes.resize(n);
    for (EditChange& change : step->changes) {
        if (!r.Path(&change.keyPath) || !r.Flag(&change.isSubkey) ||
            !r.Text(&change.name, change.isSubkey) || !ReadSide(r, change, &change.before) ||
            !ReadSide(r, change, &change.after))
            return false;
        // A change that changes nothing is no part of a step this journal writes.
        if (!change.before.present && !change.after.present) return false;
    }
    return r.Left() == 0;
}
} // namespace

size_t EstimateStepSize(const EditStep& step) {
    Writer counter(nullptr);
    WritePayload(counter, step);
    return kHeaderBytes + counter.Size() + kChecksumBytes;
}

std::string SerializeStep(const EditStep& step) {
    std::string out;
    Writer header(&out);
    header.Bytes(kMagic, 4);
    header.U32(kVersion);
    header.U32(0); // the payload's size, filled in below
    Writer payload(&out);
    if (!WritePayload(payload, step) || out.size() + kChecksumBytes > kMaxStepBytes) return {};
    const uint32_t size = static_cast<uint32_t>(payload.Size());
    for (int i = 0; i < 4; ++i)
        out[8 + i] = static_cast<char>(size >> (8 * i));
    const uint64_t sum = Fnv1a(out.data(), out.size());
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<char>(sum >> (8 * i)));
    return out;
}

bool ParseStep(const std::string& data, EditStep* step) {
    if (data.size() < kHeaderBytes + kChecksumBytes || data.size() > kMaxStepBytes ||
        memcmp(data.data(), kMagic, 4) != 0)
        return false;
    Reader header(data.data() + 4, 8);
    uint32_t version = 0, size = 0;
    if (!header.U32(&version) || !header.U32(&size) || version != kVersion ||
        size != data.size() - kHeaderBytes - kChecksumBytes)
        return false;
    const size_t summed = data.size() - kChecksumBytes;
    uint64_t stored = 0;
    for (int i = 7; i >= 0; --i)
        stored = (stored << 8) | static_cast<unsigned char>(data[summed + i]);
    if (stored != Fnv1a(data.data(), summed)) return false;
    *step = EditStep();
    Reader payload(data.data() + kHeaderBytes, size);
    return ReadPayload(payload, step) && payload.Ok();
}
