// A screen reader's view of tracked menus: the events in order, and the
// accessibility object of every open menu, read from another thread while
// real input drives the menus.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>
#include <atomic>
#include <map>
#include <thread>
#include "tests/accessibility/accessibility_test_support.h"
#include "tests/flatmenu/flatmenu_test_util.h"

using namespace a11ytest;
using fmtest::Instance;
using Texts = std::vector<std::string>;

namespace {
const int kMenuX = 300, kMenuY = 200;
const POINT kOutside = {1150, 950};

// Entries of the root and of its submenu.
enum RootEntry { kTitle, kTitleLine, kNotepad, kLine, kTools, kGray, kFish };
enum ToolsEntry { kCalc, kPaint };

// root: "Launcher" title and its line, &Notepad, a line, &Tools > (&Calc,
// Paint), Gray (disabled and grayed), Fish && Chips; the context menu: &Open,
// &Cancel.
class MenuEvents : public ::testing::Test {
  protected:
    void SetUp() override {
        qtest::ReleaseAllButtons();
        qtest::MoveMouse(kOutside.x, kOutside.y);
        HWND owner = host.Handle();
        ASSERT_TRUE(context.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr));
        context.AppendItem(fpmBold, "&Open", 40004, -1);
        context.AppendItem(0, "&Cancel", 40010, -1);
        ASSERT_TRUE(root.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, &context));
        ASSERT_TRUE(tools.Create(Instance(), fpmNoBitmap, owner, nullptr, nullptr, nullptr));
        tools.AppendItem(0, "&Calc", 201, -1);
        tools.AppendItem(0, "Paint", 202, -1);
        root.AppendItem(fpmDisabled | fpmBold, "Launcher", 0, -1);
        root.AppendItem(fpmSeparator, nullptr, 0, -1);
        root.AppendItem(0, "&Notepad", 101, -1);
        root.AppendItem(fpmSeparator, nullptr, 0, -1);
        root.AppendPopup(0, "&Tools", &tools, -1, 102);
        root.AppendItem(fpmDisabled | fpmGrayed, "Gray", 103, -1);
        root.AppendItem(0, "Fish && Chips", 104, -1);
    }
    // Presses a key and waits until the menus' thread has taken it.
    static void Key(WORD virtualKey) {
        qtest::PressKey(virtualKey);
        ASSERT_TRUE(qtest::SyncInput()) << "the menus' thread did not take key " << virtualKey;
    }
    qtest::HostWindow host;
    CFlatPopupMenu context, root, tools;
    EventRecorder events;
};
} // namespace

TEST_F(MenuEvents, TheRootReadsAsAPopupOfItsEntries) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        {
            // A client lets go of the object while the menu is still there: a
            // release is a call into the menus' thread, served by its loop.
            AccessibleRef object = ObjectOf(root.Window());
            ASSERT_TRUE(object) << "the menu window gave no accessibility object";
            EXPECT_EQ(ROLE_SYSTEM_MENUPOPUP, Role(object.Get(), CHILDID_SELF));
            ASSERT_EQ(7, ChildCount(object.Get()));
            Texts names;
            for (LONG child = 1; child <= 7; ++child)
                names.push_back(Name(object.Get(), child));
            EXPECT_EQ((Texts{"Launcher", "", "Notepad", "", "Tools", "Gray", "Fish & Chips"}),
                      names);
            EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, Role(object.Get(), 1));
            EXPECT_EQ(ROLE_SYSTEM_SEPARATOR, Role(object.Get(), 2));
            EXPECT_EQ(ROLE_SYSTEM_MENUITEM, Role(object.Get(), 3));
            EXPECT_EQ(ROLE_SYSTEM_MENUITEM, Role(object.Get(), 5));
            EXPECT_EQ(STATE_SYSTEM_HASPOPUP, State(object.Get(), 5));
            EXPECT_EQ(STATE_SYSTEM_UNAVAILABLE, State(object.Get(), 6));
            EXPECT_EQ("N", Shortcut(object.Get(), 3));
            EXPECT_EQ("Open", DefaultAction(object.Get(), 5));
            EXPECT_EQ("Execute", DefaultAction(object.Get(), 3));
            EXPECT_EQ(-1, Focus(object.Get())) << "nothing is hot yet";
            Key(VK_DOWN);
            EXPECT_EQ(kNotepad + 1, Focus(object.Get()));
            EXPECT_EQ(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED, State(object.Get(), 3));
        }
        qtest::PressKey(VK_ESCAPE); // ends the menus: nothing is left to take a marker
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    EXPECT_EQ((Texts{"MENUSTART", "POPUPSTART", "FOCUS 3", "POPUPEND", "MENUEND"}),
              events.Described());
}

namespace {
// The menu events (focus left out) with the menu each came from.
Texts PopupEvents(const std::vector<Event>& events, const std::map<HWND, std::string>& names) {
    Texts described;
    for (const Event& e : events) {
        if (e.event == EVENT_OBJECT_FOCUS) continue;
        const auto name = names.find(e.window);
        described.push_back(Describe(e) + " " + (name == names.end() ? "?" : name->second));
    }
    return described;
}

// The focus events of one window, as child numbers.
std::vector<LONG> FocusOf(const std::vector<Event>& events, HWND window) {
    std::vector<LONG> children;
    for (const Event& e : events)
        if (e.event == EVENT_OBJECT_FOCUS && e.window == window) children.push_back(e.child);
    return children;
}
} // namespace

TEST_F(MenuEvents, ASubmenuAndTheContextMenuAreAnnouncedAndReadAsPopupsOfTheirOwn) {
    std::map<HWND, std::string> names;
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        names[root.Window()] = "root";
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        Key(VK_DOWN);
        Key(VK_DOWN);
        Key(VK_RIGHT);
        ASSERT_TRUE(qtest::WaitShown(tools, "the submenu"));
        names[tools.Window()] = "tools";
        {
            AccessibleRef object = ObjectOf(tools.Window());
            ASSERT_TRUE(object) << "the submenu's window gave no accessibility object";
            EXPECT_EQ(ROLE_SYSTEM_MENUPOPUP, Role(object.Get(), CHILDID_SELF));
            ASSERT_EQ(2, ChildCount(object.Get()));
            EXPECT_EQ("Calc", Name(object.Get(), 1));
            EXPECT_EQ("Paint", Name(object.Get(), 2));
            EXPECT_EQ("C", Shortcut(object.Get(), 1));
            EXPECT_EQ("<none>", Shortcut(object.Get(), 2)) << "Paint has no mnemonic";
            EXPECT_EQ(1, Focus(object.Get())) << "opened by a key: its first entry is hot";
            // Where each entry is on the screen, and what is at a point.
            const POINT paint = fmtest::EntryPoint(tools, kPaint);
            const RECT paintRow = Location(object.Get(), 2);
            EXPECT_TRUE(PtInRect(&paintRow, paint)) << "Paint's location misses its row";
            EXPECT_EQ(fmtest::EntryPoint(tools, kCalc).y - paint.y,
                      Location(object.Get(), 1).top - paintRow.top);
            EXPECT_EQ(2, HitTest(object.Get(), paint));
            EXPECT_EQ(1, HitTest(object.Get(), fmtest::EntryPoint(tools, kCalc)));
            EXPECT_EQ(2, Navigate(object.Get(), NAVDIR_DOWN, 1));
            EXPECT_EQ(1, Navigate(object.Get(), NAVDIR_UP, 2));
            EXPECT_EQ(1, Navigate(object.Get(), NAVDIR_FIRSTCHILD, CHILDID_SELF));
            EXPECT_EQ(2, Navigate(object.Get(), NAVDIR_LASTCHILD, CHILDID_SELF));
        }
        Key(VK_ESCAPE); // closes the submenu only
        Key(VK_UP);     // Notepad
        qtest::PressKeyWithShift(VK_F10);
        ASSERT_TRUE(qtest::WaitShown(context, "the context menu"));
        names[context.Window()] = "context";
        {
            AccessibleRef object = ObjectOf(context.Window());
            ASSERT_TRUE(object) << "the context menu's window gave no accessibility object";
            EXPECT_EQ(ROLE_SYSTEM_MENUPOPUP, Role(object.Get(), CHILDID_SELF));
            ASSERT_EQ(2, ChildCount(object.Get()));
            EXPECT_EQ("Open", Name(object.Get(), 1));
            EXPECT_EQ("Cancel", Name(object.Get(), 2));
            EXPECT_EQ("O", Shortcut(object.Get(), 1));
        }
        // Closes the context menu only (its own loop is gone before any
        // marker could be taken behind the key).
        const HWND contextWindow = context.Window();
        qtest::PressKey(VK_ESCAPE);
        ASSERT_TRUE(qtest::WaitFor([&] { return !IsWindow(contextWindow); }));
        qtest::PressKey(VK_ESCAPE); // ends the tree
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    const std::vector<Event> seen = events.Events();
    EXPECT_EQ((Texts{"MENUSTART root", "POPUPSTART root", "POPUPSTART tools", "POPUPEND tools",
                     "POPUPSTART context", "POPUPEND context", "POPUPEND root", "MENUEND root"}),
              PopupEvents(seen, names));
    for (const auto& [window, name] : names)
        if (name == "tools") EXPECT_EQ((std::vector<LONG>{1}), FocusOf(seen, window));
}

TEST_F(MenuEvents, TheDefaultActionOfAnItemChoosesItAsEnterDoes) {
    HRESULT gray = S_OK, notepad = E_FAIL;
    KeepingClient client;
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ASSERT_TRUE(client.Act(root.Window(), [&](IAccessible* object) {
            gray = object->accDoDefaultAction(Child(kGray + 1));
            notepad = object->accDoDefaultAction(Child(kNotepad + 1));
        }));
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_TRUE(client.LetGo(nullptr));
    EXPECT_EQ(E_FAIL, gray) << "Gray cannot be chosen";
    EXPECT_EQ(S_OK, notepad);
    EXPECT_EQ(101, out.result) << "the default action of Notepad chooses it";
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    EXPECT_EQ((Texts{"MENUSTART", "POPUPSTART", "FOCUS 3", "POPUPEND", "MENUEND"}),
              events.Described());
}

TEST_F(MenuEvents, TheDefaultActionOfASubmenuEntryOpensItWithItsFirstEntryHot) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        {
            AccessibleRef object = ObjectOf(root.Window());
            ASSERT_TRUE(object);
            EXPECT_EQ(S_OK, object->accDoDefaultAction(Child(kTools + 1)));
            ASSERT_TRUE(qtest::WaitShown(tools, "the submenu"));
            EXPECT_EQ(kTools + 1, Focus(object.Get()));
        }
        EXPECT_TRUE(qtest::WaitFor([&] { return tools.Rows().HotIndex() == kCalc; }));
        Key(VK_ESCAPE);
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
}

TEST_F(MenuEvents, AClientKeepingTheObjectAfterTheMenusHaveGoneIsToldSoAndNothingBreaks) {
    KeepingClient client;
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ASSERT_TRUE(client.Act(root.Window(), nullptr));
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
    HRESULT name = S_OK;
    long count = 0;
    EXPECT_TRUE(client.LetGo([&](IAccessible* object) {
        BSTR text = nullptr;
        name = object->get_accName(Child(kNotepad + 1), &text);
        if (text) SysFreeString(text);
        count = ChildCount(object);
    })) << "a client's call on the object of closed menus did not return";
    EXPECT_TRUE(name == CO_E_OBJNOTCONNECTED || name == E_FAIL || name == RPC_E_DISCONNECTED)
        << "get_accName after the menus went gave " << std::hex << name;
    EXPECT_EQ(-2, count) << "the child count of closed menus did not fail";
}

TEST_F(MenuEvents, TheMouseMovesTheFocusAndAClickOutsideEndsTheTree) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ASSERT_TRUE(fmtest::HoverEntry(root, kNotepad));
        ASSERT_TRUE(fmtest::HoverEntry(root, kFish));
        ASSERT_TRUE(events.WaitFor("FOCUS " + std::to_string(kFish + 1)));
        qtest::ClickAt(kOutside.x, kOutside.y);
    });
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    EXPECT_EQ((Texts{"MENUSTART", "POPUPSTART", "FOCUS 3", "FOCUS 7", "POPUPEND", "MENUEND"}),
              events.Described());
}

TEST_F(MenuEvents, OtherObjectsOfAMenuWindowAreTheSystemsAndTheParentIsTheWindow) {
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        ASSERT_TRUE(apartment.Ready());
        {
            IAccessible* window = nullptr;
            ASSERT_EQ(S_OK,
                      AccessibleObjectFromWindow(root.Window(), OBJID_WINDOW, __uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&window)));
            AccessibleRef windowObject(window);
            EXPECT_NE(ROLE_SYSTEM_MENUPOPUP, Role(window, CHILDID_SELF));
            HWND windowOf = nullptr;
            EXPECT_EQ(S_OK, WindowFromAccessibleObject(window, &windowOf));
            EXPECT_EQ(root.Window(), windowOf);
            AccessibleRef client = ObjectOf(root.Window());
            ASSERT_TRUE(client);
            IDispatch* parent = nullptr;
            ASSERT_EQ(S_OK, client->get_accParent(&parent));
            ASSERT_NE(nullptr, parent);
            IAccessible* parentObject = nullptr;
            ASSERT_EQ(S_OK, parent->QueryInterface(__uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&parentObject)));
            parent->Release();
            AccessibleRef parentRef(parentObject);
            HWND parentWindow = nullptr;
            EXPECT_EQ(S_OK, WindowFromAccessibleObject(parentObject, &parentWindow));
            EXPECT_EQ(root.Window(), parentWindow) << "the parent is the menu window's object";
            // Each query gives a fresh reference to the same menu.
            AccessibleRef again = ObjectOf(root.Window());
            ASSERT_TRUE(again);
            EXPECT_EQ(7, ChildCount(again.Get()));
        }
        qtest::PressKey(VK_ESCAPE);
    });
    EXPECT_FALSE(out.rescued);
}

TEST_F(MenuEvents, OnAThreadThatCannotHaveTheObjectTheMenusWorkAsBeforeWithoutIt) {
    // A host's thread in the multi-threaded apartment: the menus' object
    // would be called from other threads, so there is none.
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    qtest::ModalOutcome out = fmtest::TrackDriven(root, kMenuX, kMenuY, [&] {
        ASSERT_TRUE(qtest::WaitShown(root));
        ClientApartment apartment;
        {
            AccessibleRef object = ObjectOf(root.Window());
            if (object) EXPECT_NE(ROLE_SYSTEM_MENUPOPUP, Role(object.Get(), CHILDID_SELF));
        }
        Key(VK_DOWN);
        qtest::PressKey(VK_RETURN); // ends the menus
    });
    CoUninitialize();
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(101, out.result) << "Down and Enter choose Notepad as ever";
    ASSERT_TRUE(events.WaitFor("MENUEND"));
    EXPECT_EQ((Texts{"MENUSTART", "POPUPSTART", "FOCUS 3", "POPUPEND", "MENUEND"}),
              events.Described())
        << "the events do not need the object";
}
