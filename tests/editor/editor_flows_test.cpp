// Insert, Properties and Delete on entries of a native menu built from a
// seeded store (described as the press describes them), or addressed by key
// path alone, with the item dialog answered from the input thread; the
// registry is read back afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <atomic>
#include <string>
#include "editor/editor_flows.h"
#include "editor/item_dialog.h"
#include "menubuild/native_menu.h"
#include "menubuild/native_menu_lookup.h"
#include "plugin/module.h"
#include "tests/support/test_press.h"
#include "resources/resource_ids.h"
#include "store/registry_layout.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/test_support.h"

using edtest::ControlText;
using edtest::SetControlText;

namespace {

const std::string kSettings = QUORIL_SETTINGS_PATH;

std::string Record(const std::string& name, const std::string& key = kSettings) {
    std::string data;
    return qtest::ReadStringValue(key, name, &data) ? data : "<missing>";
}

int Position(const std::string& name, const std::string& key = kSettings) {
    std::string record = Record(name, key);
    size_t at = 0;
    for (int i = 0; i < 6 && at != std::string::npos; ++i)
        at = record.find(',', at + 1);
    return at == std::string::npos ? -100 : atoi(record.c_str() + at + 1);
}

std::string Launcher(const std::string& target, int position, int separator = 0) {
    return target + ",,,,0,0," + std::to_string(position) + "," + std::to_string(separator);
}

// Every value and key beneath `key`, as text.
std::string Snapshot(const std::string& key = kSettings) {
    std::string out = "[" + key + "]";
    std::string data;
    if (qtest::ReadStringValue(key, "", &data)) out += "=" + data;
    out += "\n";
    for (const std::string& name : qtest::ValueNames(key))
        out += name + "=" + Record(name, key) + "\n";
    for (const std::string& child : qtest::SubkeyNames(key))
        out += Snapshot(key + "\\" + child);
    return out;
}

// Command id of the item with this text anywhere in the tree; 0 if none.
UINT FindId(HMENU menu, const std::string& text) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char itemText[260] = "";
        GetMenuStringA(menu, i, itemText, sizeof itemText, MF_BYPOSITION);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        if (text == itemText) return info.wID;
        if (info.hSubMenu)
            if (UINT id = FindId(info.hSubMenu, text)) return id;
    }
    return 0;
}

// The "Insert Item..." placeholder inside the submenu of `submenuText`.
UINT PlaceholderIn(HMENU root, const std::string& submenuText) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    if (!GetMenuItemInfoA(root, FindId(root, submenuText), FALSE, &info) || !info.hSubMenu)
        return 0;
    return FindId(info.hSubMenu, QUORIL_PLACEHOLDER_TEXT);
}

class EditorFlowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::DeleteProductKey();
        ThePlugin().Attach(edtest::Module());
        root = CreatePopupMenu();
    }
    void TearDown() override {
        DestroyMenuTree(root);
        DestroyMenu(root);
        qtest::DeleteProductKey();
    }

    void SeedFive() {
        for (int i = 1; i <= 5; ++i)
            qtest::SetStringValue(kSettings, std::string(1, 'A' + i - 1),
                                  Launcher("C:\\" + std::to_string(i) + ".exe", i));
    }
    void Build() {
        qtest::TestPress press(host.Handle());
        ASSERT_NE(0, qtest::BuildFromStore(press.Context(), host.Handle(), root));
    }

    // The entry with command id `id` of the press's tree, as the press
    // describes it.
    MenuEntryAddress Entry(UINT id) const {
        MenuEntryAddress entry;
        DescribeMenuItem(root, id, &entry);
        return entry;
    }

    // Runs `flow` while `steps` answer the dialog titled `title`.
    void RunFlow(const char* title, const std::function<void(HWND)>& steps,
                 const std::function<void()>& flow) {
        edtest::DriveDialog(title, steps, [&] {
            flow();
            return INT_PTR(0);
        });
    }
    // Insert after the entry `itemId`, or, with `intoEmptySubmenu`, through
    // the "Insert Item..." `itemId` of an empty submenu.
    void Insert(UINT itemId, bool intoEmptySubmenu, const std::function<void(HWND)>& steps) {
        Insert(Entry(itemId), intoEmptySubmenu, steps);
    }
    void Insert(const MenuEntryAddress& clicked, bool intoEmptySubmenu,
                const std::function<void(HWND)>& steps) {
        RunFlow("Create Menu Item", steps,
                [&] { RunInsertFlow(context, clicked, intoEmptySubmenu); });
    }
    void Properties(UINT itemId, const std::function<void(HWND)>& steps) {
        Properties(Entry(itemId), steps);
    }
    void Properties(const MenuEntryAddress& entry, const std::function<void(HWND)>& steps) {
        RunFlow("Menu Item Properties", steps, [&] { RunPropertiesFlow(context, entry); });
    }
    void Delete(UINT itemId) { RunDeleteFlow(context, Entry(itemId)); }

    static void Fill(HWND dialog, const char* name, const char* target) {
        SetControlText(dialog, IDC_NAME, name);
        SetControlText(dialog, IDC_TARGET, target);
    }
    static void Ok(HWND dialog) {
        edtest::PostClick(dialog, IDOK);
        qtest::WaitUntilGone(dialog);
    }
    static void Cancel(HWND dialog) {
        edtest::PostClick(dialog, IDCANCEL);
        qtest::WaitUntilGone(dialog);
    }
    qtest::HostWindow host;
    HMENU root = nullptr;
    EditorState state;
    const EditContext context{edtest::Module(), &state};
};

} // namespace

TEST_F(EditorFlowsTest, InsertAfterTheThirdOfFiveShiftsTheRestAndTakesPlaceFour) {
    SeedFive();
    Build();
    std::string shown;
    Insert(FindId(root, "C"), false, [&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        Fill(dialog, "New", "C:\\new.exe");
        Ok(dialog);
    });
    EXPECT_EQ("4", shown);
    EXPECT_EQ("C:\\new.exe,,,,,0,4,0", Record("New"));
    EXPECT_EQ(1, Position("A"));
    EXPECT_EQ(2, Position("B"));
    EXPECT_EQ(3, Position("C"));
    EXPECT_EQ(5, Position("D"));
    EXPECT_EQ(6, Position("E"));
}

TEST_F(EditorFlowsTest, InsertThroughTheEmptySubmenusPlaceholderWritesIntoItsKey) {
    qtest::SetStringValue(kSettings, "A", Launcher("C:\\a.exe", 1));
    qtest::SetStringValue(kSettings + "\\Games", "", ",,,,,,2,0");
    Build();
    std::string rootBefore = Record("A") + Record("", kSettings + "\\Games");
    std::string shown;
    Insert(PlaceholderIn(root, "Games"), true, [&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        Fill(dialog, "Chess", "C:\\chess.exe");
        Ok(dialog);
    });
    EXPECT_EQ("1", shown);
    EXPECT_EQ("C:\\chess.exe,,,,,0,1,0", Record("Chess", kSettings + "\\Games"));
    EXPECT_EQ("<missing>", Record("Chess"));
    EXPECT_EQ(rootBefore, Record("A") + Record("", kSettings + "\\Games")) << "nothing renumbered";
}

TEST_F(EditorFlowsTest, InsertThroughThePlaceholderOfAnEmptyRootTakesPlaceOne) {
    Build();
    std::string shown;
    Insert(FindId(root, QUORIL_PLACEHOLDER_TEXT), false, [&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        Fill(dialog, "First", "C:\\first.exe");
        Ok(dialog);
    });
    EXPECT_EQ("1", shown);
    EXPECT_EQ("C:\\first.exe,,,,,0,1,0", Record("First"));
    EXPECT_EQ(std::vector<std::string>{"First"}, qtest::ValueNames(kSettings));
}

TEST_F(EditorFlowsTest, InsertAsASubmenuCreatesAKeyHoldingTheRecord) {
    qtest::SetStringValue(kSettings, "A", Launcher("C:\\a.exe", 1));
    Build();
    Insert(FindId(root, "A"), false, [&](HWND dialog) {
        Fill(dialog, "Tools", "");
        edtest::ClickCheckBox(dialog, IDC_SUBMENU);
        Ok(dialog);
    });
    EXPECT_EQ(",,,,,,2,0", Record("", kSettings + "\\Tools"));
    EXPECT_EQ("<missing>", Record("Tools"));
    EXPECT_EQ(1, Position("A"));
}

TEST_F(EditorFlowsTest, CancelledInsertAndPropertiesChangeNothing) {
    SeedFive();
    qtest::SetStringValue(kSettings + "\\Sub", "", ",,,,0,0,6,0");
    Build();
    std::string before = Snapshot();
    Insert(FindId(root, "B"), false, [&](HWND dialog) {
        Fill(dialog, "Never", "C:\\never.exe");
        Cancel(dialog);
    });
    Properties(FindId(root, "D"), [&](HWND dialog) {
        SetControlText(dialog, IDC_TARGET, "C:\\changed.exe");
        edtest::ClickSpinner(dialog, true);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        qtest::WaitUntilGone(dialog);
    });
    EXPECT_EQ(before, Snapshot());
}

TEST_F(EditorFlowsTest, DeletingASubmenuRemovesItsBranchAndMovesTheRestUp) {
    qtest::SetStringValue(kSettings, "A", Launcher("C:\\a.exe", 1));
    qtest::SetStringValue(kSettings + "\\Sub", "", ",,,,0,0,2,0");
    qtest::SetStringValue(kSettings + "\\Sub", "X", Launcher("C:\\x.exe", 1));
    qtest::SetStringValue(kSettings + "\\Sub\\Deep", "", ",,,,0,0,2,0");
    qtest::SetStringValue(kSettings + "\\Sub\\Deep", "Y", Launcher("C:\\y.exe", 1));
    qtest::SetStringValue(kSettings, "C", Launcher("C:\\c.exe", 3));
    qtest::SetStringValue(kSettings, "D", Launcher("C:\\d.exe", 4));
    Build();
    qtest::MessageBoxWatcher failures("DeleteRegSubEntry");
    qtest::Watchdog watchdog("the delete flows"); // they show no window of their own
    Delete(FindId(root, "Sub"));
    EXPECT_FALSE(qtest::KeyExists(kSettings + "\\Sub"));
    EXPECT_EQ(1, Position("A"));
    EXPECT_EQ(2, Position("C"));
    EXPECT_EQ(3, Position("D"));
    EXPECT_TRUE(failures.Texts().empty());

    // A launcher item goes the same way.
    DestroyMenuTree(root);
    Build();
    Delete(FindId(root, "A"));
    EXPECT_EQ("<missing>", Record("A"));
    EXPECT_EQ(1, Position("C"));
    EXPECT_EQ(2, Position("D"));
}

TEST_F(EditorFlowsTest, MovingFourToTwoStoresTheMoveAndTheEditedRecord) {
    SeedFive();
    Build();
    std::string shownBefore, shownAfter;
    Properties(FindId(root, "D"), [&](HWND dialog) {
        shownBefore = ControlText(dialog, IDC_POSITION);
        edtest::ClickSpinner(dialog, true);
        edtest::ClickSpinner(dialog, true);
        shownAfter = ControlText(dialog, IDC_POSITION);
        SetControlText(dialog, IDC_TARGET, "C:\\changed.exe");
        SetControlText(dialog, IDC_PARAMETERS, "/q");
        Ok(dialog);
    });
    EXPECT_EQ("4", shownBefore);
    EXPECT_EQ("2", shownAfter);
    EXPECT_EQ(1, Position("A"));
    EXPECT_EQ(3, Position("B"));
    EXPECT_EQ(4, Position("C"));
    EXPECT_EQ(5, Position("E"));
    EXPECT_EQ("C:\\changed.exe,/q,,,0,0,2,0", Record("D")) << "the edit is kept with the move";
}

TEST_F(EditorFlowsTest, UnchangedPropertiesRewriteTheRecordWithRunModeZero) {
    qtest::SetStringValue(kSettings, "A", "C:\\a.exe,-p,C:\\,C:\\i.ico,2,3,1,1");
    qtest::SetStringValue(kSettings + "\\Sub", "", ",,,C:\\s.ico,1,,2,0");
    qtest::SetStringValue(kSettings + "\\Sub", "X", Launcher("C:\\x.exe", 1));
    Build();
    std::string fields;
    bool separatorChecked = false;
    Properties(FindId(root, "A"), [&](HWND dialog) {
        fields = ControlText(dialog, IDC_NAME) + "|" + ControlText(dialog, IDC_TARGET) + "|" +
                 ControlText(dialog, IDC_PARAMETERS) + "|" + ControlText(dialog, IDC_START_IN) +
                 "|" + ControlText(dialog, IDC_ICON_SOURCE);
        separatorChecked = IsDlgButtonChecked(dialog, IDC_SEPARATOR) == BST_CHECKED;
        Ok(dialog);
    });
    EXPECT_EQ("A|C:\\a.exe|-p|C:\\|C:\\i.ico, 2", fields);
    EXPECT_TRUE(separatorChecked);
    EXPECT_EQ("C:\\a.exe,-p,C:\\,C:\\i.ico,2,0,1,1", Record("A"));

    // A submenu keeps its key and contents; its default value is replaced.
    Properties(FindId(root, "Sub"), [&](HWND dialog) {
        edtest::ClickCheckBox(dialog, IDC_SEPARATOR);
        Ok(dialog);
    });
    EXPECT_EQ(",,,C:\\s.ico,1,,2,1", Record("", kSettings + "\\Sub"));
    EXPECT_EQ(Launcher("C:\\x.exe", 1), Record("X", kSettings + "\\Sub"));
}

TEST_F(EditorFlowsTest, PositionRangeCountsTheSeparatorLinesOfTheItemsMenu) {
    for (int i = 1; i <= 5; ++i)
        qtest::SetStringValue(kSettings + "\\Sub", std::string(1, 'A' + i - 1),
                              Launcher("C:\\" + std::to_string(i) + ".exe", i, i == 2 || i == 4));
    qtest::SetStringValue(kSettings, "Top", Launcher("C:\\top.exe", 1));
    Build();
    LRESULT range = 0;
    std::string lowest;
    Properties(FindId(root, "E"), [&](HWND dialog) {
        range = SendDlgItemMessageA(dialog, IDC_POSITION_SPIN, UDM_GETRANGE, 0, 0);
        for (int i = 0; i < 3; ++i)
            edtest::ClickSpinner(dialog, false);
        lowest = ControlText(dialog, IDC_POSITION);
        Cancel(dialog);
    });
    EXPECT_EQ(1, LOWORD(range));
    EXPECT_EQ(7, HIWORD(range)) << "five items and two separator lines";
    EXPECT_EQ("7", lowest);
}

TEST_F(EditorFlowsTest, PositionsAboveNinetyNineMoveFaithfully) {
    char name[8];
    for (int i = 1; i <= 120; ++i) {
        snprintf(name, sizeof name, "I%03d", i);
        qtest::SetStringValue(kSettings, name, Launcher("C:\\t.exe", i));
    }
    Build();
    std::string shown;
    Properties(FindId(root, "I105"), [&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION);
        edtest::ClickSpinner(dialog, true);
        Ok(dialog);
    });
    EXPECT_EQ("105", shown);
    EXPECT_EQ(104, Position("I105"));
    EXPECT_EQ(105, Position("I104"));
    EXPECT_EQ(106, Position("I106"));
    EXPECT_EQ(10, Position("I010"));
}

TEST_F(EditorFlowsTest, PropertiesAndDeleteLeaveThePlaceholderAlone) {
    qtest::SetStringValue(kSettings + "\\Empty", "", ",,,,0,0,1,0");
    Build();
    std::string before = Snapshot();
    qtest::MessageBoxWatcher propsBox("ExecutePropsDialog");
    qtest::MessageBoxWatcher deleteBox("DeleteMenuItemRegEntry");
    qtest::Watchdog watchdog("the flows on the placeholder");
    bool dialogShown = false;
    std::atomic<bool> flowsEnded(false);
    UINT placeholder = PlaceholderIn(root, "Empty");
    ASSERT_NE(0u, placeholder);
    qtest::InputThread watcher([&] {
        // The dialog would be modal inside the flow: the flows ending first is
        // the sign that there is none.
        HWND dialog = nullptr;
        qtest::WaitFor([&] {
            dialog = qtest::WaitForWindow("#32770", "Menu Item Properties", 0);
            return dialog || flowsEnded;
        });
        dialogShown = dialog != nullptr;
        if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    RunPropertiesFlow(context, Entry(placeholder));
    Delete(placeholder);
    flowsEnded = true;
    watcher.Join();
    EXPECT_FALSE(dialogShown);
    EXPECT_TRUE(propsBox.Texts().empty());
    EXPECT_TRUE(deleteBox.Texts().empty());
    EXPECT_EQ(before, Snapshot());

    // The placeholder of an empty root likewise.
    qtest::DeleteProductKey();
    DestroyMenuTree(root);
    Build();
    placeholder = FindId(root, QUORIL_PLACEHOLDER_TEXT);
    RunPropertiesFlow(context, Entry(placeholder));
    Delete(placeholder);
    EXPECT_TRUE(qtest::ValueNames(kSettings).empty());
    EXPECT_TRUE(deleteBox.Texts().empty());
}

TEST_F(EditorFlowsTest, PropertiesOfAnUnknownItemSaysSoAndDeleteIsSilent) {
    SeedFive();
    Build();
    std::string before = Snapshot();
    qtest::MessageBoxWatcher propsBox("ExecutePropsDialog");
    qtest::Watchdog watchdog("the flows on an unknown item");
    RunPropertiesFlow(context, Entry(0xFFFF));
    Delete(0xFFFF);
    Delete(0);
    EXPECT_EQ(std::vector<std::string>{"GetMenuItemData failed"}, propsBox.Texts());
    EXPECT_EQ(before, Snapshot());
}

TEST_F(EditorFlowsTest, EachRunStartsFromAFreshDialogNothingLeftOfTheRunBefore) {
    SeedFive();
    Build();
    bool openWhileShown = false;
    Insert(FindId(root, "A"), false, [&](HWND dialog) {
        openWhileShown = state.dialogOpen;
        Fill(dialog, "First", "C:\\first.exe");
        SetControlText(dialog, IDC_PARAMETERS, "-f");
        SetControlText(dialog, IDC_START_IN, "C:\\Work");
        edtest::ClickCheckBox(dialog, IDC_SEPARATOR);
        Ok(dialog);
    });
    EXPECT_TRUE(openWhileShown);
    EXPECT_FALSE(state.dialogOpen);
    ASSERT_EQ("C:\\first.exe,-f,C:\\Work,,,0,2,1", Record("First"));

    std::string shown;
    bool separatorChecked = true;
    Insert(FindId(root, "E"), false, [&](HWND dialog) {
        shown = ControlText(dialog, IDC_POSITION) + "|" + ControlText(dialog, IDC_NAME) + "|" +
                ControlText(dialog, IDC_TARGET) + "|" + ControlText(dialog, IDC_PARAMETERS) + "|" +
                ControlText(dialog, IDC_START_IN) + "|" + ControlText(dialog, IDC_ICON_SOURCE);
        separatorChecked = IsDlgButtonChecked(dialog, IDC_SEPARATOR) == BST_CHECKED;
        Fill(dialog, "Second", "C:\\second.exe");
        Ok(dialog);
    });
    EXPECT_EQ("6|||||Icon is Not Specified", shown);
    EXPECT_FALSE(separatorChecked);
    EXPECT_EQ("C:\\second.exe,,,,,0,6,0", Record("Second"));

    // Properties after an insert show the entry's own record only.
    Properties(FindId(root, "B"), [&](HWND dialog) {
        shown = ControlText(dialog, IDC_NAME) + "|" + ControlText(dialog, IDC_TARGET) + "|" +
                ControlText(dialog, IDC_PARAMETERS) + "|" + ControlText(dialog, IDC_START_IN);
        separatorChecked = IsDlgButtonChecked(dialog, IDC_SEPARATOR) == BST_CHECKED;
        Cancel(dialog);
    });
    EXPECT_EQ("B|C:\\2.exe||", shown);
    EXPECT_FALSE(separatorChecked);
}

// Entries as a search of the store would find them: by key path and name,
// without any menu.
TEST_F(EditorFlowsTest, FlowsActOnAnEntryAddressedByItsKeyPathAlone) {
    const std::string games = kSettings + "\\Tools\\Games";
    qtest::SetStringValue(kSettings, "Chess", Launcher("C:\\root-chess.exe", 1));
    qtest::SetStringValue(kSettings + "\\Tools", "", ",,,,0,0,2,0");
    qtest::SetStringValue(kSettings + "\\Tools", "Chess", Launcher("C:\\tools-chess.exe", 1));
    qtest::SetStringValue(games, "", ",,,,0,0,2,0");
    qtest::SetStringValue(games, "Chess", Launcher("C:\\chess.exe", 1));
    qtest::SetStringValue(games, "Go", Launcher("C:\\go.exe", 2));
    qtest::SetStringValue(games, "Shogi", Launcher("C:\\shogi.exe", 3));
    const std::string outside = Record("Chess") + Record("Chess", kSettings + "\\Tools");
    MenuEntryAddress go;
    go.found = go.keyFound = true;
    go.keyPath = "Tools\\Games";
    go.name = "Go";
    go.record = Launcher("C:\\go.exe", 2);
    go.siblingCount = 3;

    Insert(go, false, [&](HWND dialog) {
        Fill(dialog, "Hex", "C:\\hex.exe");
        Ok(dialog);
    });
    EXPECT_EQ("C:\\hex.exe,,,,,0,3,0", Record("Hex", games));
    EXPECT_EQ(4, Position("Shogi", games));

    Properties(go, [&](HWND dialog) {
        edtest::ClickSpinner(dialog, true);
        Ok(dialog);
    });
    EXPECT_EQ(1, Position("Go", games));
    EXPECT_EQ(2, Position("Chess", games));

    go.record = Record("Go", games);
    RunDeleteFlow(context, go);
    EXPECT_EQ("<missing>", Record("Go", games));
    EXPECT_EQ(1, Position("Chess", games));
    EXPECT_EQ(2, Position("Hex", games));
    EXPECT_EQ(3, Position("Shogi", games));
    EXPECT_EQ(outside, Record("Chess") + Record("Chess", kSettings + "\\Tools"))
        << "an entry of the same name elsewhere was touched";
    EXPECT_EQ(std::vector<std::string>{"Games"}, qtest::SubkeyNames(kSettings + "\\Tools"));
}

// The menu still shows an entry whose key went in the meantime: the dialogs
// run as usual, and nothing is stored anywhere.
TEST_F(EditorFlowsTest, AnEntryWhoseKeyWentIsEditedWithoutStoringAnything) {
    qtest::SetStringValue(kSettings, "Top", Launcher("C:\\top.exe", 1));
    qtest::SetStringValue(kSettings + "\\Gone", "Item", Launcher("C:\\item.exe", 1));
    Build();
    UINT item = FindId(root, "Item");
    ASSERT_NE(0u, item);
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, (kSettings + "\\Gone").c_str()));
    const std::string before = Snapshot();
    qtest::MessageBoxWatcher failures("DeleteMenuItemRegEntry");
    std::string shownTarget, shownPosition;
    Insert(item, false, [&](HWND dialog) {
        shownPosition = ControlText(dialog, IDC_POSITION);
        Fill(dialog, "New", "C:\\new.exe");
        Ok(dialog);
    });
    Properties(item, [&](HWND dialog) {
        shownTarget = ControlText(dialog, IDC_TARGET);
        SetControlText(dialog, IDC_TARGET, "C:\\changed.exe");
        Ok(dialog);
    });
    Delete(item);
    EXPECT_EQ("2", shownPosition);
    EXPECT_EQ("C:\\item.exe", shownTarget);
    EXPECT_EQ(before, Snapshot());
    EXPECT_FALSE(qtest::KeyExists(kSettings + "\\Gone"));
    EXPECT_TRUE(failures.Texts().empty());
}
