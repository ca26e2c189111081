// Undo steps as data: what a difference of two snapshots holds, the stored
// form and what reading it refuses, and which rewrites of a record a press
// makes. No registry here.
#include <gtest/gtest.h>
#include <functional>
#include "store/edit_snapshot.h"
#include "store/record_tidying.h"

namespace {
std::string Sz(const std::u16string& text) {
    std::string bytes;
    for (char16_t c : text)
        bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

SnapKey Menu() {
    SnapKey root;
    root.values = {{u"", 1, Sz(u",,,,,,1,0")},
                   {u"A", 1, Sz(u"C:\\a.exe,,,,0,0,1,0")},
                   {u"Bin", 3, std::string("\0\xFF\x01", 3)}};
    SnapKey tools{
        u"Tools", {{u"", 1, Sz(u",,,,,,2,0")}, {u"Za\u017c\u00f3\u0142\u0107", 4, "\1\0\0\0"}}, {}};
    tools.subkeys.push_back({u"Games", {{u"G", 1, Sz(u"g")}}, {{u"Deep", {}, {}}}});
    root.subkeys.push_back(tools);
    return root;
}

// A chain of `depth` keys below "D", a value at the bottom.
SnapKey Chain(size_t depth) {
    SnapKey root{u"D", {}, {}};
    SnapKey* at = &root;
    for (size_t i = 1; i < depth; ++i) {
        at->subkeys.push_back({u"k", {}, {}});
        at = &at->subkeys.back();
    }
    at->values.push_back({u"V", 4, "\7\0\0\0"});
    return root;
}

EditStep StepOf(const SnapKey& before, const SnapKey& after) {
    EditStep step;
    step.label = "Delete \"Games\"";
    step.subjectPath = {u"Tools"};
    step.subjectName = u"Games";
    step.changes = DiffSnapshots(before, after, {});
    return step;
}

// The stored data with its checksum made to match again: only the bounds
// checks stand between damaged counts and the reader.
std::string Resealed(std::string stored) {
    uint64_t hash = 1469598103934665603ULL;
    for (size_t i = 0; i + 8 < stored.size(); ++i)
        hash = (hash ^ static_cast<unsigned char>(stored[i])) * 1099511628211ULL;
    for (int i = 0; i < 8; ++i)
        stored[stored.size() - 8 + i] = static_cast<char>(hash >> (8 * i));
    return stored;
}

struct DiffCase {
    const char* what;
    std::function<void(SnapKey&)> edit;
    bool isSubkey;
    std::vector<std::u16string> keyPath;
    bool before, after;
};
} // namespace

TEST(UndoDiff, EachEditIsOneChangeAtItsPlace) {
    const DiffCase cases[] = {
        {"value added",
         [](SnapKey& m) {
             m.values.push_back({u"N", 1, Sz(u"n")});
         },
         false,
         {},
         false,
         true},
        {"value removed",
         [](SnapKey& m) { m.values.erase(m.values.begin() + 1); },
         false,
         {},
         true,
         false},
        {"bytes changed", [](SnapKey& m) { m.values[2].bytes[0] = 'x'; }, false, {}, true, true},
        {"type changed", [](SnapKey& m) { m.values[2].type = 0; }, false, {}, true, true},
        {"name's case changed", [](SnapKey& m) { m.values[1].name = u"a"; }, false, {}, true, true},
        {"nested value",
         [](SnapKey& m) { m.subkeys[0].subkeys[0].values.clear(); },
         false,
         {u"Tools", u"Games"},
         true,
         false},
        {"sub-tree removed",
         [](SnapKey& m) { m.subkeys[0].subkeys.clear(); },
         true,
         {u"Tools"},
         true,
         false},
        {"sub-key added",
         [](SnapKey& m) {
             m.subkeys.push_back({u"New", {}, {}});
         },
         true,
         {},
         false,
         true},
    };
    for (const DiffCase& c : cases) {
        SnapKey after = Menu();
        c.edit(after);
        std::vector<EditChange> changes = DiffSnapshots(Menu(), after, {});
        ASSERT_EQ(1u, changes.size()) << c.what;
        EXPECT_EQ(c.isSubkey, changes[0].isSubkey) << c.what;
        EXPECT_EQ(c.keyPath, changes[0].keyPath) << c.what;
        EXPECT_EQ(c.before, changes[0].before.present) << c.what;
        EXPECT_EQ(c.after, changes[0].after.present) << c.what;
    }
}

TEST(UndoDiff, SameTreesInAnyOrderDifferNowhere) {
    SnapKey shuffled = Menu();
    std::swap(shuffled.values[0], shuffled.values[2]);
    EXPECT_TRUE(DiffSnapshots(Menu(), shuffled, {u"Base"}).empty());
    EXPECT_TRUE(SameSnapshot(Menu(), shuffled));
}

TEST(UndoDiff, ARemovedSubtreeCarriesAllOfItUnderTheBasePath) {
    SnapKey after = Menu();
    after.subkeys.clear();
    std::vector<EditChange> changes = DiffSnapshots(Menu(), after, {u"Base"});
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(std::vector<std::u16string>{u"Base"}, changes[0].keyPath);
    EXPECT_TRUE(SameSnapshot(Menu().subkeys[0], changes[0].before.tree));
}

TEST(UndoStepFormat, RoundTripKeepsEveryByte) {
    SnapKey after = Menu();
    after.subkeys.clear();
    after.values[2].bytes = std::string(70000, '\xAB');
    EditStep step = StepOf(Menu(), after);
    std::string stored = SerializeStep(step);
    ASSERT_FALSE(stored.empty());
    EXPECT_EQ(stored.size(), EstimateStepSize(step));
    EditStep read;
    ASSERT_TRUE(ParseStep(stored, &read));
    EXPECT_EQ(step.label, read.label);
    EXPECT_EQ(step.subjectPath, read.subjectPath);
    EXPECT_EQ(step.subjectName, read.subjectName);
    EXPECT_EQ(stored, SerializeStep(read));
}

TEST(UndoStepFormat, DamagedOrTruncatedDataIsRefused) {
    SnapKey after = Menu();
    after.subkeys.clear();
    const std::string stored = SerializeStep(StepOf(Menu(), after));
    EditStep read;
    for (size_t n = 0; n < stored.size(); ++n)
        EXPECT_FALSE(ParseStep(stored.substr(0, n), &read)) << "cut at " << n;
    for (size_t i = 0; i < stored.size(); ++i) {
        std::string damaged = stored;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(ParseStep(damaged, &read)) << "byte " << i;
    }
    EXPECT_FALSE(ParseStep(stored + "x", &read));
    EXPECT_FALSE(ParseStep(std::string(kMaxStepBytes + 1, '\0'), &read));
}

TEST(UndoStepFormat, StepsBeyondABoundAreNotStored) {
    const std::function<void(EditStep&)> beyond[] = {
        [](EditStep& s) { s.subjectName = std::u16string(kMaxSnapName + 1, u'x'); },
        [](EditStep& s) { s.subjectPath = {u"a\\b"}; },
        [](EditStep& s) { s.subjectPath = {u""}; },
        [](EditStep& s) { s.changes[0].keyPath = {std::u16string(1, u'\0')}; },
        [](EditStep& s) { s.changes[0].before.tree.subkeys[0].name = u"x\\y"; },
        [](EditStep& s) { s.label = std::string(kMaxStepLabel + 1, 'l'); },
        [](EditStep& s) { s.changes[0].keyPath.assign(kMaxSnapDepth, u"k"); },
    };
    SnapKey after = Menu();
    after.subkeys.clear();
    for (const auto& edit : beyond) {
        EditStep step = StepOf(Menu(), after);
        edit(step);
        EXPECT_EQ("", SerializeStep(step));
    }
}

TEST(UndoStepFormat, DeepTreesGoToTheBoundAndNoFurther) {
    for (size_t depth : {512u, 520u, 521u}) {
        SnapKey before{u"", {}, {Chain(depth)}};
        EditStep step = StepOf(before, SnapKey());
        std::string stored = SerializeStep(step);
        EXPECT_EQ(depth <= kMaxSnapDepth, !stored.empty()) << depth;
        EditStep read;
        if (!stored.empty()) {
            EXPECT_TRUE(ParseStep(stored, &read)) << depth;
        }
    }
}

TEST(UndoStepFormat, CountsBeyondTheDataAreRefusedBeforeAllocating) {
    SnapKey before{u"", {}, {{u"S", {}, {}}}};
    std::string stored = SerializeStep(StepOf(before, SnapKey()));
    // The sub-key count of "S" sits before its change's after-flag and the checksum.
    const size_t count = stored.size() - 8 - 1 - 4;
    EditStep read;
    ASSERT_TRUE(ParseStep(Resealed(stored), &read));
    stored[count + 3] = '\x7F';
    EXPECT_FALSE(ParseStep(Resealed(stored), &read));
}

struct TidyCase {
    std::u16string recorded, now;
    bool tidied;
};

TEST(RecordTidying, APressRewriteInFullFormWithANewPositionIsTheSameRecord) {
    const TidyCase cases[] = {
        {u"C:\\x.exe", u"C:\\x.exe,,,,0,0,4,0", true},
        {u"C:\\x.exe,,,,0,0,,0", u"C:\\x.exe,,,,0,0,4,0", true},
        {u"C:\\\u017c.exe,-p,,,0,1,0,0", u"C:\\\u017c.exe,-p,,,0,1,2,0", true},
        {u"C:\\x.exe,,,,0,0,3,0", u"C:\\x.exe,,,,0,0,4,0", false},
        {u"C:\\x.exe,,,,0,0,,0", u"C:\\y.exe,,,,0,0,4,0", false},
        {u"C:\\x.exe,,,, 7,0,5", u"C:\\x.exe,,,,7,0,5,0", true},
        {u"C:\\x.exe,,,,0,0,5,0", u"C:\\x.exe,,,,0,0,5,0", false},
    };
    for (const TidyCase& c : cases)
        EXPECT_EQ(c.tidied, IsTidiedRecord(Sz(c.recorded), Sz(c.now)))
            << std::string(c.now.begin(), c.now.end());
    EXPECT_FALSE(IsTidiedRecord(Sz(u"a,,,,0,0,,0") + "x", Sz(u"a,,,,0,0,1,0")));
    // The registry may keep the rewritten text with a terminator.
    EXPECT_TRUE(IsTidiedRecord(Sz(u"a"), Sz(u"a,,,,0,0,1,0") + std::string(2, '\0')));
}
