// Undoing recorded edits: each puts the whole stored menu back as it was
// before the edit, exactly; and an undo that meets a later change by another
// writer writes nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include "store/store_edits.h"
#include "tests/undo/undo_test_util.h"

using namespace undotest;
using qtest::SetStringValue;

namespace {
struct EditCase {
    const char* label;
    const char* holding; // the key the flow snapshots
    std::function<void()> edit;
    const char* subjectPath;
    const char* subjectName;
};

const EditCase kEdits[] = {
    {"Insert \"N\"", "", [] { WriteItemValue("", "N", Item(4).c_str()); }, "", "N"},
    {"Properties of \"B\"", "", [] { WriteItemValue("", "B", "C:\\b2.exe,,,,1,1,2,0"); }, "", "B"},
    {"Delete \"A\"", "",
     [] {
         DeleteMenuItemRegEntry("", "A");
         ShiftPositions("", 1, -1);
     },
     "", "A"},
    {"Delete \"Games\"", "Tools", [] { DeleteSubmenu("Tools", "Games"); }, "Tools", "Games"},
    {"Delete \"Tools\"", "Tools", [] { DeleteSubmenu("", "Tools"); }, "", "Tools"},
    {"Move \"A\"", "", [] { MovePosition("", 1, 4); }, "", "A"},
    {"Move \"T1\" to the top", "",
     [] {
         DeleteMenuItemRegEntry("Tools", "T1");
         WriteItemValue("", "T1", Item(5).c_str());
     },
     "", "T1"},
};

class UndoEdits : public UndoTest, public ::testing::WithParamInterface<EditCase> {};

// Gives a key an access list that lets everyone read it and no one write it.
bool MakeReadOnly(const std::string& keyPath, const char* sddl = "D:P(A;;KRWD;;;WD)") {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    bool ok =
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr) &&
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    if (sd) LocalFree(sd);
    RegCloseKey(key);
    return ok;
}
} // namespace

TEST_P(UndoEdits, UndoPutsTheWholeMenuBackExactly) {
    const EditCase& c = GetParam();
    const std::string before = Tree();
    ASSERT_TRUE(Record(c.holding, c.edit, c.label, c.subjectPath, c.subjectName));
    const std::string edited = Tree();
    ASSERT_NE(before, edited);
    std::string label;
    ASSERT_TRUE(PeekUndo(&label));
    EXPECT_EQ(c.label, label);
    UndoRestored restored;
    ASSERT_EQ(kUndoDone, UndoNewest(&restored));
    EXPECT_EQ(before, Tree());
    EXPECT_EQ(c.label, restored.label);
    EXPECT_TRUE(restored.subjectAnsi);
    EXPECT_EQ(c.subjectPath, restored.subjectKeyPath);
    EXPECT_EQ(c.subjectName, restored.subjectAnsiName);
    EXPECT_FALSE(PeekUndo(&label)) << "the step stays after its undo";
    EXPECT_EQ(kUndoNothing, UndoNewest(&restored));
    EXPECT_EQ(before, Tree());
}

INSTANTIATE_TEST_SUITE_P(Edits, UndoEdits, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditCase>& info) {
                             std::string name;
                             for (const char* c = info.param.label; *c; ++c)
                                 if (isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

TEST_F(UndoTest, AnEditThatChangesNothingIsNotRecorded) {
    EXPECT_FALSE(Record("", [] { WriteItemValue("", "A", Item(1).c_str()); }));
    EXPECT_FALSE(Record("Missing", [] {}));
    std::string label;
    EXPECT_FALSE(PeekUndo(&label));
}

struct LaterChange {
    const char* what;
    std::function<void()> change;
};

TEST_F(UndoTest, ALaterChangeByAnotherWriterStopsTheUndoBeforeAnyWrite) {
    const LaterChange changes[] = {
        {"recorded value rewritten", [] { SetStringValue(Path(""), "N", "C:\\other.exe"); }},
        {"recorded value removed", [] { DeleteMenuItemRegEntry("", "N"); }},
        {"removed value back", [] { SetStringValue(Path(""), "C", Item(3)); }},
        {"removed sub-tree back", [] { SetStringValue(Path("Tools\\Games"), "", ",,,,,,2,0"); }},
        {"key of a place removed", [] { DeleteSubmenu("", "Tools"); }},
    };
    for (const LaterChange& later : changes) {
        ASSERT_TRUE(Record(
            "",
            [] {
                WriteItemValue("", "N", Item(4).c_str());
                DeleteMenuItemRegEntry("", "C");
                DeleteSubmenu("Tools", "Games");
            },
            "Three changes"));
        later.change();
        const std::string changed = Tree();
        UndoRestored restored;
        EXPECT_EQ(kUndoChangedSince, UndoNewest(&restored)) << later.what;
        EXPECT_EQ(changed, Tree()) << later.what;
        std::string label;
        EXPECT_TRUE(PeekUndo(&label) && label == "Three changes") << later.what;
        qtest::DeleteProductKey();
        edittest::FillSibling();
        FillMenu();
    }
}

TEST_F(UndoTest, APressTidyingARecordIsNoChange) {
    edittest::NormalizePositions("");
    const std::string before = Tree();
    ASSERT_TRUE(Record("", [] {
        WriteItemValue("", "Short", "C:\\short.exe");
        WriteItemValue("Tools", "NoPos", "C:\\n.exe,,,,0,0,,0");
    }));
    edittest::NormalizePositions("");
    EXPECT_EQ("C:\\short.exe,,,,0,0,4,0", edittest::Record(Path(""), "Short"));
    UndoRestored restored;
    EXPECT_EQ(kUndoDone, UndoNewest(&restored));
    EXPECT_EQ(before, Tree());
}

TEST_F(UndoTest, ATidiedRecordWithAnotherTextIsAChange) {
    ASSERT_TRUE(Record("", [] { WriteItemValue("", "Short", "C:\\short.exe"); }));
    SetStringValue(Path(""), "Short", "C:\\other.exe,,,,0,0,4,0");
    UndoRestored restored;
    EXPECT_EQ(kUndoChangedSince, UndoNewest(&restored));
}

TEST_F(UndoTest, AWriteThatFailsHalfWayPutsBackWhatWasWritten) {
    const std::string before = Tree();
    ASSERT_TRUE(Record("", [] {
        WriteItemValue("", "A", "C:\\a2.exe,,,,0,0,1,0");
        WriteItemValue("Tools", "T1", "C:\\t2.exe,,,,0,0,1,0");
    }));
    const std::string edited = Tree();
    ASSERT_TRUE(MakeReadOnly(Path("Tools")));
    UndoRestored restored;
    EXPECT_EQ(kUndoFailed, UndoNewest(&restored));
    EXPECT_EQ(edited, Tree());
    ASSERT_TRUE(MakeReadOnly(Path("Tools"), "D:P(A;;KA;;;WD)"));
    EXPECT_EQ(kUndoDone, UndoNewest(&restored));
    EXPECT_EQ(before, Tree());
}

TEST_F(UndoTest, SnapshotKeyReadsEveryValueExactly) {
    SnapKey tree;
    ASSERT_TRUE(SnapshotKey("Tools\\Games", &tree));
    EXPECT_EQ(u"Games", tree.name);
    ASSERT_EQ(2u, tree.subkeys.size());
    ASSERT_EQ(2u, tree.values.size());
    const std::string large(300001, 'z');
    SetWideValue(L"Tools\\Games", L"Large", REG_BINARY, large.data(), large.size());
    ASSERT_TRUE(SnapshotKey("Tools\\Games", &tree));
    bool found = false;
    for (const SnapValue& value : tree.values)
        found =
            found || (value.name == u"Large" && value.bytes == large && value.type == REG_BINARY);
    EXPECT_TRUE(found);
    EXPECT_FALSE(SnapshotKey("Tools\\Missing", &tree));
    EXPECT_FALSE(SnapshotKey("Tools\\\\Games", &tree));
}
