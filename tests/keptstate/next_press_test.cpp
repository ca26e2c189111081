// What a press shows always matches what is stored now, although icons are
// kept from one press to the next: records edited, added, moved or deleted by
// another program, and icon files replaced, show on the very next build; and
// the icons kept stay bounded however much the menu changes.
#include <gtest/gtest.h>
#include "tests/support/test_support.h"
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "menubuild/kept_icons.h"
#include "menubuild/native_menu.h"
#include "store/stored_menu.h"
#include "tests/menubuild/native_menu_test_util.h"
#include "tests/support/test_press.h"
#include "tests/wide/wide_registry.h"

using namespace menutest;

namespace {
const char kNotepad[] = "C:\\windows\\notepad.exe";
const char kRegedit[] = "C:\\windows\\regedit.exe";
const char kShell32[] = "C:\\windows\\system32\\shell32.dll";

// The small image of icon `index` of `file`, drawn directly from the file.
std::vector<DWORD> ReferenceImage(const char* file, UINT index) {
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), file, index);
    if (!icon || icon == reinterpret_cast<HICON>(1)) return {};
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_IMAGE);
    SelectObject(dc, old);
    std::vector<DWORD> pixels = qtest::BitmapPixels(bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    DestroyIcon(icon);
    return pixels;
}

// The native tree of one press: the stored menu read (and normalized) once,
// and built from what was read, as WBPress does it, with what the presses
// before it kept in `cache`.
class PressedMenu {
  public:
    PressedMenu(MenuCache& cache, HWND window) : m_root(CreatePopupMenu()) {
        PressContext press(GetModuleHandleA(nullptr), window, cache);
        StoredKey tree;
        m_built =
            ReadAndNormalizeMenu(cache.menu, &tree) && BuildRootMenu(press, window, m_root, tree);
    }
    ~PressedMenu() {
        DestroyMenuTree(m_root);
        DestroyMenu(m_root);
    }
    HMENU Root() const { return m_root; }
    bool Built() const { return m_built; }

  private:
    HMENU m_root;
    bool m_built = false;
};

// The texts of a menu's items, sorted: which items there are, whatever their
// native order (the order shown follows the positions in their records).
std::vector<std::string> SortedTexts(HMENU menu) {
    std::vector<std::string> texts = Texts(menu);
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::string Data(HMENU root, const std::string& path) {
    const char* data = ItemAt(root, path).data;
    return data ? data : "<none>";
}

// A file of the test's own in the temporary folder, removed at the end.
class TempFile {
  public:
    explicit TempFile(const char* name) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        m_path = std::string(folder) + name;
    }
    ~TempFile() { DeleteFileA(m_path.c_str()); }
    const char* Path() const { return m_path.c_str(); }
    // Overwrites the file with a copy of `source`, written `ageSeconds` ago.
    bool CopyFrom(const char* source, int ageSeconds) {
        if (!CopyFileA(source, m_path.c_str(), FALSE)) return false;
        HANDLE file = CreateFileA(m_path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                  0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t;
        t.LowPart = now.dwLowDateTime;
        t.HighPart = now.dwHighDateTime;
        t.QuadPart -= static_cast<ULONGLONG>(ageSeconds) * 10000000ULL;
        FILETIME written = {t.LowPart, t.HighPart};
        BOOL set = SetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
        return set != FALSE;
    }

  private:
    std::string m_path;
};

class NextPress : public ::testing::Test {
  protected:
    void SetUp() override { qtest::DeleteProductKey(); }
    void TearDown() override { qtest::DeleteProductKey(); }
    // What the presses of one test keep. The stored menu read by a press may
    // be kept as soon as its keys were written, so that these presses show
    // what a kept tree gives.
    MenuCache& Kept() {
        m_cache.menu.SetSettleTime(0);
        return m_cache;
    }
    MenuCache m_cache;
    qtest::HostWindow m_host;
};
} // namespace

TEST_F(NextPress, RecordsChangedByAnotherProgramShowAtOnce) {
    widetest::SetRecord(L"", L"Alpha", L"a.exe,,,,0,0,1,0");
    widetest::SetRecord(L"", L"Beta", L"b.exe,,,,0,0,2,0");
    widetest::SetRecord(L"Tools", L"", L",,,,0,0,3,0");
    widetest::SetRecord(L"Tools", L"Calc", L"calc.exe,,,,0,0,1,0");
    {
        PressedMenu menu(Kept(), m_host.Handle());
        ASSERT_TRUE(menu.Built());
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Beta", "Tools"}), SortedTexts(menu.Root()));
        EXPECT_EQ("calc.exe,,,,0,0,1,0", Data(menu.Root(), "Tools\\Calc"));
    }

    // Edited, added, moved and deleted through the wide API, as the registry
    // editor or an imported file would do it.
    widetest::SetRecord(L"Tools", L"Calc", L"other.exe,-x,,,0,0,1,0");
    widetest::SetRecord(L"", L"Gamma", L"g.exe,,,,0,0,4,0");
    widetest::SetRecord(L"", L"Alpha", L"a.exe,,,,0,0,5,0");
    HKEY settings;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, widetest::kSettings, 0, KEY_ALL_ACCESS, &settings));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(settings, L"Beta"));
    RegCloseKey(settings);
    {
        PressedMenu menu(Kept(), m_host.Handle());
        ASSERT_TRUE(menu.Built());
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Gamma", "Tools"}), SortedTexts(menu.Root()));
        EXPECT_EQ("other.exe,-x,,,0,0,1,0", Data(menu.Root(), "Tools\\Calc"));
        EXPECT_EQ("a.exe,,,,0,0,5,0", Data(menu.Root(), "Alpha"));
    }

    // A whole submenu gone, and the key given again with another item.
    qtest::DeleteKeyTree(HKEY_CURRENT_USER, widetest::KeyPath(L"Tools").c_str());
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ((std::vector<std::string>{"Alpha", "Gamma"}), SortedTexts(menu.Root()));
    }
    widetest::SetRecord(L"Tools", L"Paint", L"paint.exe,,,,0,0,1,0");
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ("paint.exe,,,,0,0,1,0", Data(menu.Root(), "Tools\\Paint"));
        EXPECT_EQ(nullptr, ItemAt(menu.Root(), "Tools\\Calc").data);
    }
}

TEST_F(NextPress, ChangedIconFieldsShowTheirNewIcon) {
    const std::vector<DWORD> third = ReferenceImage(kShell32, 3);
    const std::vector<DWORD> fourth = ReferenceImage(kShell32, 4);
    const std::vector<DWORD> notepad = ReferenceImage(kNotepad, 0);
    ASSERT_FALSE(third.empty());
    ASSERT_NE(third, fourth) << "the icons must be told apart";
    ASSERT_NE(third, notepad);
    qtest::SetStringValue(kSettings, "Item", std::string(kNotepad) + ",,," + kShell32 + ",3,0,1,0");
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(third, qtest::BitmapPixels(ItemAt(menu.Root(), "Item").image));
    }
    qtest::SetStringValue(kSettings, "Item", std::string(kNotepad) + ",,," + kShell32 + ",4,0,1,0");
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(fourth, qtest::BitmapPixels(ItemAt(menu.Root(), "Item").image));
    }
    qtest::SetStringValue(kSettings, "Item", std::string(kNotepad) + ",,,,0,0,1,0");
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Item").image));
    }
}

TEST_F(NextPress, ReplacedIconFileShowsItsNewIcon) {
    const std::vector<DWORD> notepad = ReferenceImage(kNotepad, 0);
    const std::vector<DWORD> regedit = ReferenceImage(kRegedit, 0);
    ASSERT_FALSE(notepad.empty());
    ASSERT_NE(notepad, regedit) << "the icons must be told apart";
    TempFile tool("quoril-kept-icon.exe");
    // Written long ago: an icon the builds keep.
    ASSERT_TRUE(tool.CopyFrom(kNotepad, 3600));
    qtest::SetStringValue(kSettings, "Tool", std::string(tool.Path()) + ",,,,0,0,1,0");
    for (int press = 0; press < 2; ++press) {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image))
            << "press " << press;
    }
    // Replaced by another program's file, also written long ago.
    ASSERT_TRUE(tool.CopyFrom(kRegedit, 7200));
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(regedit, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image));
    }
    // Replaced again just now.
    ASSERT_TRUE(tool.CopyFrom(kNotepad, 0));
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image));
    }
    // Gone: no icon at all.
    ASSERT_TRUE(DeleteFileA(tool.Path()));
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(nullptr, ItemAt(menu.Root(), "Tool").image);
    }
}

// A bare name's icon comes from the file the search path finds (here in the
// current folder): kept while that file is unchanged, and the new file's
// icon once it is replaced; none once no file of that name is found.
TEST_F(NextPress, ABareNameShowsTheIconOfTheFileTheSearchPathFinds) {
    const std::vector<DWORD> notepad = ReferenceImage(kNotepad, 0);
    const std::vector<DWORD> regedit = ReferenceImage(kRegedit, 0);
    ASSERT_FALSE(notepad.empty());
    ASSERT_NE(notepad, regedit) << "the icons must be told apart";
    char previous[MAX_PATH], folder[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, previous));
    ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
    struct BackTo {
        const char* folder;
        ~BackTo() { SetCurrentDirectoryA(folder); }
    } backTo = {previous};
    ASSERT_TRUE(SetCurrentDirectoryA(folder));
    TempFile tool("quoril-bare-icon.exe");
    ASSERT_TRUE(tool.CopyFrom(kNotepad, 3600));
    qtest::SetStringValue(kSettings, "Tool", "quoril-bare-icon.exe,,,,0,0,1,0");
    {
        const size_t keptBefore = m_cache.icons.Count();
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image));
        EXPECT_EQ(keptBefore + 1, m_cache.icons.Count()) << "the icon of a settled file is kept";
    }
    {
        const size_t kept = m_cache.icons.Count();
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image));
        EXPECT_EQ(kept, m_cache.icons.Count()) << "the next press used the kept icon";
    }
    ASSERT_TRUE(tool.CopyFrom(kRegedit, 7200));
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(regedit, qtest::BitmapPixels(ItemAt(menu.Root(), "Tool").image));
    }
    ASSERT_TRUE(DeleteFileA(tool.Path()));
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(nullptr, ItemAt(menu.Root(), "Tool").image);
    }
}

TEST_F(NextPress, AnUnchangedIconIsKeptOnceAndUsedAgain) {
    qtest::SetStringValue(kSettings, "One", std::string(kShell32) + ",,,,5,0,1,0");
    qtest::SetStringValue(kSettings, "Two", std::string(kNotepad) + ",,," + kShell32 + ",5,0,2,0");
    qtest::SetStringValue(kSettings, "Three", std::string(kNotepad) + ",,,,0,0,3,0");
    size_t kept = 0;
    for (int press = 0; press < 3; ++press) {
        PressedMenu menu(Kept(), m_host.Handle());
        ASSERT_TRUE(menu.Built());
        ASSERT_NE(nullptr, ItemAt(menu.Root(), "One").image);
        // Each press's items have bitmaps of their own.
        EXPECT_NE(ItemAt(menu.Root(), "One").image, ItemAt(menu.Root(), "Two").image);
        EXPECT_EQ(qtest::BitmapPixels(ItemAt(menu.Root(), "One").image),
                  qtest::BitmapPixels(ItemAt(menu.Root(), "Two").image));
        if (press == 0) kept = m_cache.icons.Count();
        EXPECT_EQ(kept, m_cache.icons.Count()) << "press " << press << " kept another copy";
    }
    EXPECT_GE(kept, 2u);
}

// Many presses over a menu whose icons keep changing: the icons kept never
// exceed their bound, and the memory they take stops growing once it is
// reached.
TEST_F(NextPress, KeptIconsStayBoundedOverManyChangingPresses) {
    const int kPresses = 1000;
    const int kItems = 4;
    size_t heapWhenFull = 0;
    size_t largestCount = 0;
    for (int press = 0; press < kPresses; ++press) {
        for (int i = 0; i < kItems; ++i) {
            char name[16], record[512];
            snprintf(name, sizeof name, "Item %d", i);
            // Every press asks for icons no earlier press asked for (most
            // indexes hold no icon, which is kept as such as well).
            snprintf(record, sizeof record, "x.exe,,,%s,%d,0,%d,0", kShell32, press * kItems + i,
                     i + 1);
            qtest::SetStringValue(kSettings, name, record);
        }
        {
            PressedMenu menu(Kept(), m_host.Handle());
            ASSERT_TRUE(menu.Built());
        }
        largestCount = std::max(largestCount, m_cache.icons.Count());
        ASSERT_LE(m_cache.icons.Count(), kMaxKeptIcons) << "press " << press;
        if (press == kPresses / 2) heapWhenFull = qtest::AllHeapsInUse();
    }
    EXPECT_EQ(kMaxKeptIcons, largestCount) << "the menu did not change enough to fill the store";
    // The heap may move a little (Wine's own caches); the icons kept from a
    // thousand presses more would take far more than this.
    const size_t slack = 64 * 1024;
    EXPECT_LE(qtest::AllHeapsInUse(), heapWhenFull + slack);
}

TEST_F(NextPress, ReleasingTheKeptIconsLeavesBuildsWorking) {
    qtest::SetStringValue(kSettings, "Item", std::string(kNotepad) + ",,,,0,0,1,0");
    const std::vector<DWORD> notepad = ReferenceImage(kNotepad, 0);
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Item").image));
    }
    EXPECT_GE(m_cache.icons.Count(), 1u);
    m_cache.icons.Release();
    EXPECT_EQ(0u, m_cache.icons.Count());
    {
        PressedMenu menu(Kept(), m_host.Handle());
        EXPECT_EQ(notepad, qtest::BitmapPixels(ItemAt(menu.Root(), "Item").image));
    }
}
