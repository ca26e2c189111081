// Typing in the root searches the whole tree: the results stand in for the
// root's own entries below its title and a search row, the first of them
// hot, and act as the entries they show do in their own menus. Keys are
// typed with SendInput while the host's window has the focus.
#include "tests/keyboard/menu_keys_fixture.h"
#include "common/gdi_guards.h"

using namespace keytest;
using qtest::Char;
using qtest::kClosed;
using qtest::Key;
using qtest::kNoHot;
using qtest::Opened;
using qtest::ShiftKey;
using qtest::Text;

namespace {
const int kRoot = kRootMenu, kChild = kCharlieMenu, kCtx = kContextMenu;
// Rows of the root while it searches.
const int kSearchRow = 2, kFirstResult = 3;

std::string RowText(const CFlatPopupMenu& menu, int row) {
    const FlatMenuItem* item = menu.Rows().Item(row);
    return item ? item->text : "<no row>";
}

// The results shown, each as "name" or "name (path)".
std::vector<std::string> Results(const CFlatPopupMenu& root) {
    std::vector<std::string> shown;
    for (int i = kFirstResult; i < root.Rows().Count(); ++i) {
        const FlatMenuItem& item = *root.Rows().Item(i);
        std::string text = item.text;
        if (!item.detail.empty())
            text += " (" + std::string(item.detail.begin(), item.detail.end()) + ")";
        shown.push_back(text);
    }
    return shown;
}

void ExpectSearchText(const CFlatPopupMenu& root, const std::wstring& text) {
    const FlatMenuItem* row = root.Rows().Item(kSearchRow);
    ASSERT_NE(nullptr, row);
    EXPECT_TRUE(row->flags & fpmSearchField) << "row 2 is the search row";
    EXPECT_TRUE(text == row->fieldText) << "the search row holds what was typed";
}

void ExpectOwnEntries(const CFlatPopupMenu& root) {
    EXPECT_EQ(11, root.Rows().Count()) << "the root shows its own entries again";
    EXPECT_EQ("&Alpha", RowText(root, kAlpha));
}

int CountColour(HDC dc, int left, int right, int top, int bottom, COLORREF colour) {
    int count = 0;
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y)
            count += GetPixel(dc, x, y) == colour;
    return count;
}
} // namespace

TEST_F(MenuKeys, LettersInTheRootFindAnEntryOfASubmenuAndEnterChoosesIt) {
    RunCase({"\"th\", Enter",
             {{Opened(), kRoot, kNoHot},
              {Text("th", L"th"), kRoot, kFirstResult,
               [&] {
                   ExpectSearchText(root, L"th");
                   EXPECT_EQ(std::vector<std::string>{"Three (Charlie)"}, Results(root));
                   EXPECT_EQ("Quoril 2.0", RowText(root, kTitle)) << "the title stays";
                   EXPECT_EQ(nullptr, charlie.Window()) << "the submenu stays closed";
               }},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kThreeId,
             0});
}

TEST_F(MenuKeys, ResultsComeByGroupAndWithinAGroupInMenuOrder) {
    const std::vector<std::string> expected = {
        "Echo",                                         // the name starts with it
        "&Charlie", "One (Charlie)", "Three (Charlie)", // the rest hold it, in menu order
        "Beta",     "Delta",         "Inner (Echo)",    "Beta (Echo)", "Delta (Echo)"};
    RunCase({"'e', Down, Up, End, Home",
             {{Opened(), kRoot, kNoHot},
              {Char('e'), kRoot, kFirstResult,
               [&] {
                   EXPECT_EQ(expected, Results(root))
                       << "grayed and disabled entries are not found";
               }},
              {Key(VK_DOWN), kRoot, kFirstResult + 1},
              {Key(VK_UP), kRoot, kFirstResult},
              {Key(VK_UP), kRoot, kFirstResult + 8}, // wraps, as in any menu
              {Key(VK_HOME), kRoot, kFirstResult},
              {Key(VK_END), kRoot, kFirstResult + 8},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kEchoDeltaId,
             0});
}

TEST_F(MenuKeys, BackspaceToEmptyAndEscBringTheRootsEntriesBack) {
    RunCase({"\"de\", Backspace twice, \"x\", Enter, Esc, Esc",
             {{Opened(), kRoot, kNoHot},
              {Text("de", L"de"), kRoot, kFirstResult},
              {Key(VK_BACK), kRoot, kFirstResult,
               [&] {
                   ExpectSearchText(root, L"d");
                   EXPECT_EQ((std::vector<std::string>{"Delta", "Delta (Echo)"}), Results(root));
               }},
              {Key(VK_BACK), kRoot, kNoHot, [&] { ExpectOwnEntries(root); }},
              {Char('x'), kRoot, kNoHot,
               [&] {
                   EXPECT_EQ(std::vector<std::string>{"No items match"}, Results(root));
                   EXPECT_TRUE(root.Rows().Item(kFirstResult)->flags & fpmDisabled);
               }},
              {Key(VK_RETURN), kRoot, kNoHot}, // nothing to choose
              {Key(VK_ESCAPE), kRoot, kNoHot,  // the text goes, the menu stays
               [&] { ExpectOwnEntries(root); }},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

TEST_F(MenuKeys, ARootMnemonicChoosesAtOnceButIsTextOnceASearchRuns) {
    RunCase({"'b', then 'a' (the mnemonic of &Alpha)",
             {{Opened(), kRoot, kNoHot},
              {Char('b'), kRoot, kFirstResult},
              {Char('a'), kRoot, kNoHot,
               [&] {
                   ExpectSearchText(root, L"ba");
                   EXPECT_EQ(std::vector<std::string>{"No items match"}, Results(root));
               }},
              {Key(VK_BACK), kRoot, kFirstResult},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kBravoId,
             0});
}

TEST_F(MenuKeys, RightOrEnterOpensASubmenuResultBesideTheRoot) {
    auto besideTheRoot = [&] {
        const RECT r = qtest::WindowRect(root.Window()), c = qtest::WindowRect(charlie.Window());
        EXPECT_EQ(r.left + root.Rows().Width() - 3, c.left);
        EXPECT_EQ(r.top + Top(root, kFirstResult) - 3, c.top);
    };
    // ("c" would choose &Charlie at once: it is the root's mnemonic.)
    RunCase({"\"har\", Right, Esc, Enter, Down, Enter",
             {{Opened(), kRoot, kNoHot},
              {Text("har", L"har"), kRoot, kFirstResult},
              {Key(VK_RIGHT), kChild, kOne, besideTheRoot},
              {Key(VK_ESCAPE), kRoot, kFirstResult, [&] { ExpectSearchText(root, L"har"); }},
              {Key(VK_RETURN), kChild, kOne, besideTheRoot},
              {Key(VK_DOWN), kChild, kTwo},
              {Key(VK_RETURN), kClosed, kNoHot}},
             kTwoId,
             0});
}

TEST_F(MenuKeys, TheContextMenuOfAResultActsOnTheEntryItShows) {
    RunCase({"\"inn\", Shift+F10, Delete",
             {{Opened(), kRoot, kNoHot},
              {Text("inn", L"inn"), kRoot, kFirstResult},
              {ShiftKey(VK_F10), kCtx, kOpen},
              {Char('d'), kClosed, kNoHot}},
             kInnerId,
             kDeleteCmd});
}

TEST_F(MenuKeys, ResultsAreHotUnderThePointerAndChosenOrRightClicked) {
    RunCase({"'e', a click on One",
             {{Opened(), kRoot, kNoHot},
              {Char('e'), kRoot, kFirstResult},
              {qtest::MoveTo("One", [&] { return RowPoint(root, kFirstResult + 2); }), kRoot,
               kFirstResult + 2},
              {qtest::LeftClick(), kClosed, kNoHot}},
             kOneId,
             0});
    RunCase({"'e', a right click on Beta, Properties",
             {{Opened(), kRoot, kNoHot},
              {Char('e'), kRoot, kFirstResult},
              {qtest::MoveTo("Beta", [&] { return RowPoint(root, kFirstResult + 4); }), kRoot,
               kFirstResult + 4},
              {qtest::RightClick(), kCtx, kNoHot},
              {Char('p'), kClosed, kNoHot}},
             kBetaId,
             kPropertiesCmd});
}

TEST_F(MenuKeys, CaseAndAccentsDoNotCountAndTextBeyondTheCodePageIsKeptAsTyped) {
    RunCase({"\"DÉL\", then Esc and \"Ω\"",
             {{Opened(), kRoot, kNoHot},
              {Text("DÉL", L"D\u00C9L"), kRoot, kFirstResult,
               [&] {
                   ExpectSearchText(root, L"D\u00C9L");
                   EXPECT_EQ((std::vector<std::string>{"Delta", "Delta (Echo)"}), Results(root));
               }},
              {Key(VK_ESCAPE), kRoot, kNoHot},
              {Text("Ω", L"\u03A9"), kRoot, kNoHot,
               [&] {
                   ExpectSearchText(root, L"\u03A9");
                   EXPECT_EQ(std::vector<std::string>{"No items match"}, Results(root));
               }},
              {Key(VK_ESCAPE), kRoot, kNoHot},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

TEST_F(MenuKeys, TheSearchRowShowsItsTextAndCaretAndResultsTheirPathGreyed) {
    auto painted = [&] {
        HWND window = root.Window();
        const int width = root.Rows().Width();
        const MenuGeometry& g = root.Rows().Geometry();
        const COLORREF text = GetSysColor(COLOR_MENUTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
        const int top = Top(root, kSearchRow), one = Top(root, kFirstResult + 2),
                  charlieRow = Top(root, kFirstResult + 1);
        auto count = [&](int left, int right, int rowTop, int rowBottom, COLORREF colour) {
            HDC dc = GetDC(window);
            const int n = CountColour(dc, left, right, rowTop, rowBottom, colour);
            ReleaseDC(window, dc);
            return n;
        };
        // A result of a submenu shows its path in the disabled text colour.
        // The rows are painted top to bottom: once One shows its path, the
        // rows above it are painted too.
        EXPECT_TRUE(qtest::WaitFor([&] {
            return count(g.textLeft, width - 4, one + 2, one + 17, grey) > 0;
        })) << "One shows \"Charlie\" greyed";
        EXPECT_EQ(0, count(g.textLeft, width - 4, charlieRow + 2, charlieRow + 17, grey))
            << "an entry of the root itself shows no path";
        // The search row: text in the text colour, the caret the last column
        // of it, a line as high as the text.
        EXPECT_LT(0, count(g.textLeft, width - 4, top + 2, top + g.itemHeight - 2, text))
            << "the typed text shows";
        int caret = -1;
        for (int x = width - 4; x > g.textLeft && caret == -1; --x)
            if (count(x, x + 1, top + 2, top + g.itemHeight - 2, text) > 0) caret = x;
        EXPECT_TRUE(caret > g.textLeft && count(caret, caret + 1, top + 4, top + 14, text) == 10)
            << "the rightmost inked column of the search row is the caret, at x=" << caret;
    };
    RunCase({"'e', the paint",
             {{Opened(), kRoot, kNoHot},
              {Char('e'), kRoot, kFirstResult, painted},
              {Key(VK_ESCAPE), kRoot, kNoHot},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}

namespace {
// A strip of 16 x 16 slots, one solid colour each, as the launcher's strips
// are made (32 bits a pixel); with `colours` empty, a mask that shows every
// pixel of the image.
HBITMAP SolidStrip(const std::vector<COLORREF>& colours, int slots) {
    std::vector<DWORD> pixels(static_cast<size_t>(slots) * 16 * 16, 0);
    for (int row = 0; row < 16; ++row)
        for (int slot = 0; slot < static_cast<int>(colours.size()); ++slot)
            for (int x = 0; x < 16; ++x) {
                const COLORREF c = colours[slot];
                pixels[row * slots * 16 + slot * 16 + x] =
                    (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
    return CreateBitmap(slots * 16, 16, 1, 32, pixels.data());
}
} // namespace

TEST(TypeToFindIcons, EachResultShowsTheIconOfItsOwnMenu) {
    qtest::ParkPointer();
    qtest::HostWindow host;
    const COLORREF red = RGB(200, 0, 0), green = RGB(0, 160, 0), blue = RGB(0, 0, 220);
    OwnedBitmap rootImage(SolidStrip({red}, 1)), rootMask(SolidStrip({}, 1));
    OwnedBitmap toolsImage(SolidStrip({green, blue}, 2)), toolsMask(SolidStrip({}, 2));
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    CFlatPopupMenu root, tools;
    ASSERT_TRUE(
        root.Create(instance, fpmUserBitmap, nullptr, rootImage.Get(), rootMask.Get(), nullptr));
    ASSERT_TRUE(
        tools.Create(instance, fpmUserBitmap, nullptr, toolsImage.Get(), toolsMask.Get(), nullptr));
    root.AppendItem(0, "Apple", 11, 0);
    root.AppendPopup(0, "Tools", &tools, -1, 12);
    tools.AppendItem(0, "Saw", 21, 0);
    tools.AppendItem(0, "Hammer", 22, 1);

    std::vector<COLORREF> iconColours;
    const qtest::ModalOutcome out = qtest::DriveModal(
        [&](int* contextCommand) {
            return root.Track(200, 150, nullptr, true, false, contextCommand);
        },
        [&] {
            if (!qtest::WaitShown(root)) return;
            qtest::TypeChar('a'); // Apple, then Saw and Hammer, which hold an a
            ASSERT_TRUE(qtest::SyncInput());
            ASSERT_TRUE(qtest::WaitFor([&] { return root.Rows().Count() == 4; }));
            const MenuGeometry& g = root.Rows().Geometry();
            auto readIcons = [&] {
                iconColours.clear();
                HDC dc = GetDC(root.Window());
                for (int row = 1; row < 4; ++row) {
                    const int top = root.Rows().Item(row)->top;
                    iconColours.push_back(
                        GetPixel(dc, g.iconFrameLeft + g.iconInset + 8, top + g.iconInset + 8));
                }
                ReleaseDC(root.Window(), dc);
            };
            // Once the root has been painted after the key, each row shows an
            // icon of one of the strips' colours; which one is checked below.
            qtest::WaitFor([&] {
                readIcons();
                for (COLORREF c : iconColours)
                    if (c != red && c != green && c != blue) return false;
                return true;
            });
            qtest::PressKey(VK_ESCAPE);
            ASSERT_TRUE(qtest::SyncInput());
            qtest::PressKey(VK_ESCAPE);
        },
        "the tree with icons");
    EXPECT_FALSE(out.rescued);
    EXPECT_EQ(0, out.result);
    ASSERT_EQ(3u, iconColours.size());
    EXPECT_EQ(red, iconColours[0]) << "Apple: slot 0 of the root's strip";
    EXPECT_EQ(green, iconColours[1]) << "Saw: slot 0 of the strip of Tools";
    EXPECT_EQ(blue, iconColours[2]) << "Hammer: slot 1 of the strip of Tools";
}

TEST_F(MenuKeys, CtrlCombinationsAreNoText) {
    const qtest::Input ctrlB{"Ctrl+B", [] {
                                 INPUT in[4] = {};
                                 const WORD keys[4] = {VK_CONTROL, 'B', 'B', VK_CONTROL};
                                 for (int i = 0; i < 4; ++i) {
                                     in[i].type = INPUT_KEYBOARD;
                                     in[i].ki.wVk = keys[i];
                                     in[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
                                 }
                                 SendInput(4, in, sizeof in[0]);
                             }};
    RunCase({"Ctrl+B, then 'b'",
             {{Opened(), kRoot, kNoHot},
              {ctrlB, kRoot, kNoHot, [&] { ExpectOwnEntries(root); }},
              {Char('b'), kRoot, kFirstResult, [&] { ExpectSearchText(root, L"b"); }},
              {Key(VK_ESCAPE), kRoot, kNoHot},
              {Key(VK_ESCAPE), kClosed, kNoHot}},
             0,
             0});
}
