// Icon picker objects run modally on the test's thread, answered from the
// input thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <memory>
#include <string>
#include <vector>
#include "editor/icon_picker.h"
#include "plugin/module.h"
#include "resources/resource_ids.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/test_support.h"

namespace {

const char kMultiIconFile[] = "C:\\windows\\system32\\shell32.dll";

class IconPickerTest : public ::testing::Test {
  protected:
    void SetUp() override { ThePlugin().Attach(edtest::Module()); }

    // Runs a new picker of the icons of `file`, which stays for the test to
    // look at (Picker()).
    int Pick(const std::string& file, const std::function<void(HWND)>& steps) {
        m_file = file;
        m_picker.reset(new IconPicker(edtest::Module(), m_file.c_str()));
        return static_cast<int>(edtest::DriveDialog("Select Icon", steps, [&] {
            return static_cast<INT_PTR>(m_picker->Choose(host.Handle()));
        }));
    }
    const IconPickerData& Picker() const { return m_picker->Data(); }

    qtest::HostWindow host;
    std::string m_file;
    std::unique_ptr<IconPicker> m_picker;
    edtest::ScratchDir scratch;
};

HWND List(HWND picker) {
    return GetDlgItem(picker, IDC_ICON_LIST);
}

int ItemCount(HWND picker) {
    return static_cast<int>(SendMessageA(List(picker), LVM_GETITEMCOUNT, 0, 0));
}

void Select(HWND picker, int index) {
    LVITEMA state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(picker), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
}

void Close(HWND picker, bool ok) {
    edtest::PostClick(picker, ok ? IDOK : IDCANCEL);
    qtest::WaitUntilGone(picker);
}

// The pixels of one image of an image list, drawn on white.
std::vector<COLORREF> ImagePixels(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, cx, cy};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icon `index` of `file` as the picker would hold it.
std::vector<COLORREF> ReferencePixels(const char* file, int index) {
    HIMAGELIST list = ImageList_Create(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                       ILC_COLOR8 | ILC_MASK, 0, 4);
    HICON icon = ExtractIconA(edtest::Module(), file, index);
    ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
    std::vector<COLORREF> pixels = ImagePixels(list, 0);
    ImageList_Destroy(list);
    return pixels;
}

// Watches the list view's destruction: a list view without
// LVS_SHAREIMAGELISTS destroys the image list it still holds then, so it must
// hold none once the picker has released its own.
WNDPROC g_listProc = nullptr;
bool g_listDestroyed = false;
bool g_listStillOwnedImages = false;

LRESULT CALLBACK ListSpy(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        g_listDestroyed = true;
        bool shares = (GetWindowLongPtrA(list, GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0;
        g_listStillOwnedImages = !shares && SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0);
    }
    return CallWindowProcA(g_listProc, list, message, wParam, lParam);
}

void SpyOnList(HWND picker) {
    g_listDestroyed = g_listStillOwnedImages = false;
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(List(picker), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListSpy)));
}

} // namespace

TEST_F(IconPickerTest, MultiIconFileListsItsIconsInFileOrder) {
    int inFile = static_cast<int>(
        reinterpret_cast<INT_PTR>(ExtractIconA(edtest::Module(), kMultiIconFile, -1)));
    ASSERT_GT(inFile, 3) << "the test needs a file with several icons";
    int listed = 0, images = 0, misplaced = 0, sameAsFile = 0;
    bool ownList = false;
    int chosen = Pick(kMultiIconFile, [&](HWND picker) {
        listed = ItemCount(picker);
        HIMAGELIST shown = reinterpret_cast<HIMAGELIST>(
            SendMessageA(List(picker), LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
        ownList = shown && shown == Picker().imageList.Get();
        images = ImageList_GetImageCount(shown);
        for (int i = 0; i < listed; ++i) {
            LVITEMA item = {};
            item.mask = LVIF_IMAGE | LVIF_TEXT;
            item.iItem = i;
            char text[8] = "x";
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(List(picker), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (item.iImage != i || text[0]) ++misplaced;
        }
        for (int i : {0, 1, 2, listed - 1})
            sameAsFile += ImagePixels(shown, i) == ReferencePixels(kMultiIconFile, i);
        Select(picker, 2);
        Close(picker, true);
    });
    EXPECT_EQ(inFile, listed);
    EXPECT_EQ(inFile, images);
    EXPECT_TRUE(ownList);
    EXPECT_EQ(0, misplaced) << "list item i shows image i, without text";
    EXPECT_EQ(4, sameAsFile) << "image i is icon i of the file";
    EXPECT_EQ(2, chosen);
    EXPECT_EQ(nullptr, Picker().imageList.Get());
}

TEST_F(IconPickerTest, NoChoiceCancelAndCloseBoxGiveMinusOneAndLeaveNoImageList) {
    std::string icon = scratch.WriteIcon("one.ico");
    int shownCount = 0;
    int okWithoutSelection = Pick(kMultiIconFile, [&](HWND picker) {
        shownCount = ItemCount(picker);
        SpyOnList(picker);
        Close(picker, true);
    });
    EXPECT_EQ(nullptr, Picker().imageList.Get());
    EXPECT_TRUE(g_listDestroyed);
    EXPECT_FALSE(g_listStillOwnedImages) << "the image list would be released twice";
    int cancelled = Pick(kMultiIconFile, [](HWND picker) {
        Select(picker, 1);
        Close(picker, false);
    });
    EXPECT_EQ(nullptr, Picker().imageList.Get());
    int closeBox = Pick(icon, [](HWND picker) {
        Select(picker, 0);
        PostMessageA(picker, WM_SYSCOMMAND, SC_CLOSE, 0);
        qtest::WaitUntilGone(picker);
    });
    EXPECT_GT(shownCount, 0);
    EXPECT_EQ(-1, okWithoutSelection);
    EXPECT_EQ(-1, cancelled);
    EXPECT_EQ(-1, closeBox);
    EXPECT_EQ(-1, Picker().chosenIndex);
    EXPECT_EQ(nullptr, Picker().imageList.Get());
}

TEST_F(IconPickerTest, FileWithoutIconsShowsAnEmptyList) {
    std::string text = scratch.WriteText("notes.txt");
    int listed = -1;
    int chosen = Pick(text, [&](HWND picker) {
        listed = ItemCount(picker);
        Select(picker, 0);
        Close(picker, true);
    });
    EXPECT_EQ(0, listed);
    EXPECT_EQ(-1, chosen);
    EXPECT_EQ(nullptr, Picker().imageList.Get());
}

TEST_F(IconPickerTest, SingleIconFileOffersOneEntryWhichIsIndexZero) {
    std::string icon = scratch.WriteIcon("one.ico");
    int listed = 0;
    int chosen = Pick(icon, [&](HWND picker) {
        listed = ItemCount(picker);
        Select(picker, 0);
        Close(picker, true);
    });
    EXPECT_EQ(1, listed);
    EXPECT_EQ(0, chosen);
}

TEST_F(IconPickerTest, EachPickerStartsFreshNothingLeftOfTheOneBefore) {
    std::string icon = scratch.WriteIcon("one.ico");
    auto choose = [&](const std::string& file, const std::function<void(HWND)>& steps) {
        return static_cast<int>(edtest::DriveDialog("Select Icon", steps, [&] {
            return static_cast<INT_PTR>(
                ChooseIconIndex(edtest::Module(), host.Handle(), file.c_str()));
        }));
    };
    int firstListed = 0, secondListed = 0;
    int first = choose(kMultiIconFile, [&](HWND picker) {
        firstListed = ItemCount(picker);
        Select(picker, 2);
        Close(picker, true);
    });
    int second = choose(icon, [&](HWND picker) {
        secondListed = ItemCount(picker);
        Close(picker, true); // nothing selected
    });
    EXPECT_EQ(2, first);
    EXPECT_GT(firstListed, 3);
    EXPECT_EQ(1, secondListed) << "only the second file's icons";
    EXPECT_EQ(-1, second) << "the first picker's choice is not the second's";
}
