// The dialog templates, icon and combo-box strings of the item editor, read
// back from the linked resources.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "resources/resource_ids.h"
#include "tests/editor/editor_test_support.h"

namespace {

struct ControlTemplate {
    int id;
    std::string className;
    std::string text; // "#n" for a resource ordinal
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string title;
    int pointSize = 0;
    std::string font;
    std::vector<ControlTemplate> controls;
};

// Reads the template's words: a string, or 0xFFFF and an ordinal.
struct Reader {
    const BYTE* p;
    WORD Word() {
        WORD w = *reinterpret_cast<const WORD*>(p);
        p += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d = *reinterpret_cast<const DWORD*>(p);
        p += 4;
        return d;
    }
    std::string Text() {
        std::string s;
        for (WORD c = Word(); c; c = Word())
            s += static_cast<char>(c);
        return s;
    }
    std::string TextOrOrdinal() {
        if (*reinterpret_cast<const WORD*>(p) == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void AlignDword(const BYTE* base) {
        while ((p - base) % 4)
            ++p;
    }
};

std::string ClassOf(const std::string& raw) {
    static const char* const names[] = {"Button",  "Edit",      "Static",
                                        "ListBox", "ScrollBar", "ComboBox"};
    if (raw.size() > 1 && raw[0] == '#') {
        int ordinal = std::stoi(raw.substr(1));
        if (ordinal >= 0x80 && ordinal <= 0x85) return names[ordinal - 0x80];
    }
    return raw;
}

bool IsPredefinedClass(const std::string& name) {
    return name == "Button" || name == "Edit" || name == "Static" || name == "ComboBox";
}

DialogTemplate LoadDialogTemplate(int id) {
    DialogTemplate result;
    HRSRC found = FindResourceA(edtest::Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!found) return result;
    const BYTE* base =
        static_cast<const BYTE*>(LockResource(LoadResource(edtest::Module(), found)));
    Reader r = {base};
    WORD count;
    result.extended = reinterpret_cast<const WORD*>(base)[1] == 0xFFFF;
    if (result.extended) {
        r.p += 2 + 2 + 4 + 4; // version, signature, help id, extended style
        result.style = r.Dword();
    } else {
        result.style = r.Dword();
        r.Dword(); // extended style
    }
    count = r.Word();
    result.x = r.Word(), result.y = r.Word(), result.cx = r.Word(), result.cy = r.Word();
    r.TextOrOrdinal(); // menu
    r.TextOrOrdinal(); // class
    result.title = r.Text();
    if (result.style & DS_SETFONT) {
        result.pointSize = r.Word();
        if (result.extended) r.p += 4; // weight, italic, charset
        result.font = r.Text();
    }
    for (int i = 0; i < count; ++i) {
        r.AlignDword(base);
        ControlTemplate c;
        if (result.extended) {
            r.Dword(); // help id
            c.exStyle = r.Dword();
            c.style = r.Dword();
        } else {
            c.style = r.Dword();
            c.exStyle = r.Dword();
        }
        c.x = r.Word(), c.y = r.Word(), c.cx = r.Word(), c.cy = r.Word();
        c.id = result.extended ? static_cast<int>(r.Dword()) : static_cast<short>(r.Word());
        c.className = ClassOf(r.TextOrOrdinal());
        c.text = r.TextOrOrdinal();
        WORD extra = r.Word();
        r.p += extra;
        result.controls.push_back(c);
    }
    return result;
}

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kHidden = WS_CHILD | WS_DISABLED;
const DWORD kDialogStyle =
    DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

void ExpectControls(const std::vector<ControlTemplate>& expected,
                    const std::vector<ControlTemplate>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const ControlTemplate& e = expected[i];
        const ControlTemplate& a = actual[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
        EXPECT_EQ(e.id, a.id);
        if (IsPredefinedClass(e.className))
            EXPECT_EQ(e.className, a.className) << "stored as the class ordinal";
        else // a class name, which the system compares without case
            EXPECT_EQ(0, lstrcmpiA(e.className.c_str(), a.className.c_str())) << a.className;
        EXPECT_EQ(e.text, a.text);
        EXPECT_EQ(e.x, a.x);
        EXPECT_EQ(e.y, a.y);
        EXPECT_EQ(e.cx, a.cx);
        EXPECT_EQ(e.cy, a.cy);
        EXPECT_EQ(e.style, a.style) << std::hex << "expected 0x" << e.style << " got 0x" << a.style;
        EXPECT_EQ(e.exStyle, a.exStyle);
    }
}

} // namespace

TEST(DialogResources, ItemDialogTemplateHasEveryControlInTabOrder) {
    DialogTemplate dialog = LoadDialogTemplate(IDD_ITEM_DIALOG);
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(kDialogStyle, dialog.style);
    EXPECT_EQ(260, dialog.cx);
    EXPECT_EQ(183, dialog.cy);
    EXPECT_EQ("Create Menu Item", dialog.title);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Sans Serif", dialog.font);

    const DWORD edit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    const DWORD label = kChild | WS_GROUP;
    const DWORD push = kChild | BS_PUSHBUTTON | WS_TABSTOP;
    const std::vector<ControlTemplate> expected = {
        {1007, "Static", "#110", 7, 9, 20, 20, kChild | SS_ICON, 0},
        {1011, "Static", "Icon is Not Specified", 39, 11, 156, 8,
         kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_GROUP, 0},
        {-1, "Static", "Position:", 7, 33, 28, 8, label, 0},
        {1013, "Static", "99", 39, 30, 20, 14, kChild | SS_CENTERIMAGE | WS_GROUP, 0},
        {1014, "msctls_updown32", "Spin1", 62, 30, 10, 14,
         kChild | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS |
             UDS_NOTHOUSANDS,
         0},
        {-1, "Static", "&Name:", 7, 49, 22, 8, label, 0},
        {1008, "Edit", "", 37, 48, 158, 12, edit, 0},
        {1010, "Button", "Add As a Sub-Menu", 37, 64, 79, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP,
         0},
        {-1, "Static", "&Target:", 7, 83, 24, 8, label, 0},
        {1000, "Edit", "", 37, 81, 158, 12, edit, 0},
        {1001, "Button", "Browse...", 203, 80, 50, 14, push, 0},
        {-1, "Static", "&Parms:", 7, 100, 22, 8, label, 0},
        {1004, "Edit", "", 37, 98, 158, 12, edit, 0},
        {-1, "Static", "&Start in:", 7, 121, 24, 8, label, 0},
        {1002, "Edit", "", 37, 120, 158, 12, edit, 0},
        {1003, "Button", "Browse...", 203, 119, 50, 14, kHidden | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {-1, "Static", "&Run:", 7, 140, 16, 8, kHidden | WS_GROUP, 0},
        {1005, "ComboBox", "", 37, 138, 92, 64, kHidden | CBS_DROPDOWN | CBS_SORT | WS_TABSTOP, 0},
        {1012, "Static", "IconPathStorage", 140, 140, 59, 8,
         kHidden | SS_SIMPLE | SS_NOPREFIX | WS_GROUP, 0},
        {1006, "Button", "Set &Icon...", 37, 162, 60, 14, push, 0},
        {1009, "Button", "Add With Separator", 117, 164, 78, 10,
         kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {1, "Button", "OK", 203, 7, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {2, "Button", "Cancel", 203, 24, 50, 14, push, 0},
    };
    ExpectControls(expected, dialog.controls);
}

TEST(DialogResources, IconPickerIsAnExtendedTemplateWithAListView) {
    DialogTemplate dialog = LoadDialogTemplate(IDD_ICON_PICKER);
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(kDialogStyle, dialog.style);
    EXPECT_EQ(200, dialog.cx);
    EXPECT_EQ(150, dialog.cy);
    EXPECT_EQ("Select Icon", dialog.title);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_EQ("MS Sans Serif", dialog.font);
    const std::vector<ControlTemplate> expected = {
        {1, "Button", "OK", 143, 7, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {2, "Button", "Cancel", 143, 24, 50, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1015, "SysListView32", "List1", 7, 45, 186, 98,
         kChild | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE},
    };
    ExpectControls(expected, dialog.controls);
}

TEST(DialogResources, RunModeComboStringsAndDialogIcon) {
    // Dialog initialisation data: id, message, byte count, text; a zero ends it.
    HRSRC found =
        FindResourceA(edtest::Module(), MAKEINTRESOURCEA(IDD_ITEM_DIALOG), MAKEINTRESOURCEA(240));
    ASSERT_NE(nullptr, found);
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(edtest::Module(), found)));
    std::vector<std::string> strings;
    for (;;) {
        WORD control = *reinterpret_cast<const WORD*>(p);
        if (control == 0) break;
        EXPECT_EQ(IDC_RUN_MODE, control);
        DWORD length = *reinterpret_cast<const DWORD*>(p + 4);
        strings.push_back(reinterpret_cast<const char*>(p + 8));
        EXPECT_EQ(strings.back().size() + 1, length);
        p += 8 + length;
    }
    EXPECT_EQ((std::vector<std::string>{"Normal", "Minimized", "Maximized", "Hidden"}), strings);

    HICON icon = static_cast<HICON>(
        LoadImageA(edtest::Module(), MAKEINTRESOURCEA(IDI_ITEM_DIALOG), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap;
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(32, bitmap.bmWidth);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}
