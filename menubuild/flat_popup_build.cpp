// Converts the native menu tree of a press into flat popups, ordered by the
// stored positions, each with a strip of small icons cut from the native
// items' bitmaps; tracks the tree and reports the choice.
#include "menubuild/flat_popup_build.h"
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <memory>
#include <new>
#include <vector>
#include "common/gdi_guards.h"
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/native_menu_internal.h"
#include "menubuild/press_display.h"
#include "menubuild/strip_pixels.h"
#include "menubuild/menu_item_data.h"
#include "menubuild/native_menu_lookup.h"

namespace {
const UINT kBreakTypes = MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK;

void ShowBuildError(const char* text) {
    MessageBoxA(nullptr, text, "BuildPopupMenu", MB_OK);
}

// A failed allocation here, as anywhere in a press, throws: the press then
// ends as a whole, releasing what it made, rather than show half a menu.
char* DuplicateTitle(const char* text) {
    if (!text) return nullptr;
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(n));
    if (!copy) throw std::bad_alloc();
    memcpy(copy, text, n);
    return copy;
}

PopupBuildNode* NewNode(HMENU menu, const char* title, CFlatPopupMenu* popup) {
    std::unique_ptr<PopupBuildNode> node(new PopupBuildNode());
    node->nativeMenu = menu;
    node->title = DuplicateTitle(title);
    node->popup = popup;
    return node.release();
}

void DeleteStrips(PopupBuildNode* node) {
    if (node->imageStrip) DeleteObject(node->imageStrip);
    if (node->maskStrip) DeleteObject(node->maskStrip);
    node->imageStrip = node->maskStrip = nullptr;
}

// Releases a launcher list: strips, titles, nodes, and every popup but `keep`.
void ReleaseList(PopupBuildNode* node, CFlatPopupMenu* keep) {
    while (node) {
        PopupBuildNode* next = node->next;
        DeleteStrips(node);
        if (node->popup != keep) delete node->popup;
        free(node->title);
        delete node;
        node = next;
    }
}

// Owns a launcher list while it is built and tracked, so that it is released
// however the build or the tracking ends.
struct LauncherList {
    PopupBuildNode* first;
    CFlatPopupMenu* keep; // the caller's popup, never freed here
    ~LauncherList() { ReleaseList(first, keep); }
};

// Deletes a node's strips on scope exit: the context node lives on the stack.
struct NodeStrips {
    PopupBuildNode* node;
    ~NodeStrips() { DeleteStrips(node); }
};

void AppendAtTail(PopupBuildNode* list, PopupBuildNode* node) {
    while (list->next)
        list = list->next;
    list->next = node;
}

// The display order of a native menu: by the zero-based stored position, ties
// in native order. Items whose position lies outside 0..n-1 (gaps left by hand
// edits or by values the menu does not show) come last, in native order, so
// that no stored item ever disappears from the menu.
std::vector<int> DisplayOrder(HMENU menu, int count) {
    std::vector<std::pair<int, int>> keyed; // (rank key, native position)
    keyed.reserve(count);
    for (int j = 0; j < count; ++j) {
        MenuItemData data;
        if (!GetMenuItemData(menu, j, TRUE, &data)) continue;
        int position = data.fields.position;
        keyed.emplace_back(position >= 0 && position < count ? position : count, j);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
                         return a.first < b.first;
                     });
    std::vector<int> order;
    order.reserve(keyed.size());
    for (const auto& k : keyed)
        order.push_back(k.second);
    return order;
}

// Appends native item `j` to the node's popup; a submenu gets a child popup
// and a node of its own at the list's tail, built at once.
void AppendNativeItem(HINSTANCE module, HWND window, PopupBuildNode* node, int j,
                      PopupBuildNode* contextNode) {
    MenuItemData data;
    if (!GetMenuItemData(node->nativeMenu, j, TRUE, &data)) return;
    const MENUITEMINFOA& info = data.info;
    if (info.fType & kBreakTypes) {
        node->popup->AppendItem(fpmSeparator, nullptr, 0, -1);
        return;
    }
    int flags = (info.fState & (MFS_GRAYED | MFS_DISABLED)) ? fpmDisabled | fpmGrayed : 0;
    int iconIndex = info.hbmpUnchecked ? j : -1;
    const char* text = info.dwTypeData ? info.dwTypeData : "";
    int id = static_cast<int>(info.wID);
    if (!info.hSubMenu) {
        node->popup->AppendItem(flags, text, id, iconIndex);
        return;
    }
    std::unique_ptr<CFlatPopupMenu> child(new CFlatPopupMenu());
    PopupBuildNode* childNode = NewNode(info.hSubMenu, text, child.get());
    AppendAtTail(node, childNode); // the list owns the child from here on
    child.release();
    node->popup->AppendPopup(flags, text, childNode->popup, iconIndex, id);
    BuildPopupMenu(module, window, childNode, contextNode);
}
} // namespace

namespace {
// Copies the pixels of a small-icon bitmap into slot `slot` of a strip's
// pixel rows (`stripWidth` pixels wide).
void CopyIntoSlot(HDC dc, HBITMAP bitmap, int cx, int cy, int slot, int stripWidth,
                  std::vector<DWORD>* strip, std::vector<DWORD>* scratch) {
    BITMAPINFO info = TopDownDibInfo(cx, cy);
    if (GetDIBits(dc, bitmap, 0, cy, scratch->data(), &info, DIB_RGB_COLORS) != cy) return;
    for (int row = 0; row < cy; ++row) {
        std::copy_n(scratch->begin() + static_cast<size_t>(row) * cx, cx,
                    strip->begin() + static_cast<size_t>(row) * stripWidth +
                        static_cast<size_t>(slot) * cx);
    }
}

// A strip compatible with the window's DC holding `pixels`, when there are
// any. On a 32-bit display the strip is made and filled in one call.
HBITMAP MakeStrip(HDC windowDc, int displayBits, int width, int height, const DWORD* bits) {
    if (displayBits == 32) return CreateBitmap(width, height, 1, 32, bits);
    OwnedBitmap strip(CreateCompatibleBitmap(windowDc, width, height));
    BITMAPINFO info = TopDownDibInfo(width, height);
    if (strip && bits) SetDIBits(windowDc, strip.Get(), 0, height, bits, &info, DIB_RGB_COLORS);
    return strip.Release();
}
} // namespace

// The items' bitmaps are read as pixels (GetDIBits) and each strip is made
// from its pixels at once: selecting a thousand small bitmaps into a device
// context one after the other is what made long menus slow to appear. Within
// a press the display's depth is asked once, and a popup without an owner
// makes its strips on the host window's DC rather than the desktop's.
HBITMAP BuildIconStrips(HMENU menu, HWND window, HBITMAP* maskStrip) {
    if (maskStrip) *maskStrip = nullptr;
    if (!menu) return nullptr;
    int count = GetMenuItemCount(menu);
    if (count < 1) return nullptr;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const int stripWidth = count * cx;

    DisplayDc windowDc(window);
    if (!windowDc.Get()) return nullptr;
    // Pixels are gathered only once an item has an icon: the strips of a
    // menu without icons stay as they were made.
    StripPixels pixels;
    std::vector<DWORD> scratch(static_cast<size_t>(cx) * cy);
    for (int k = 0; k < count; ++k) {
        MENUITEMINFOA info = {};
        info.cbSize = QUORIL_MENUITEMINFO_SIZE;
        info.fMask = MIIM_CHECKMARKS | MIIM_TYPE;
        if (!GetMenuItemInfoA(menu, k, TRUE, &info)) continue;
        if ((info.fType & kBreakTypes) || !info.hbmpChecked || !info.hbmpUnchecked) continue;
        if (!pixels.Prepared()) pixels.Prepare(static_cast<size_t>(stripWidth) * cy);
        CopyIntoSlot(windowDc.Get(), info.hbmpChecked, cx, cy, k, stripWidth, &pixels.Mask(),
                     &scratch);
        CopyIntoSlot(windowDc.Get(), info.hbmpUnchecked, cx, cy, k, stripWidth, &pixels.Image(),
                     &scratch);
    }
    const int displayBits = DisplayDepth(windowDc.Get());
    const DWORD* imageBits = pixels.Prepared() ? pixels.Image().data() : nullptr;
    const DWORD* maskBits = pixels.Prepared() ? pixels.Mask().data() : nullptr;
    OwnedBitmap image(MakeStrip(windowDc.Get(), displayBits, stripWidth, cy, imageBits));
    OwnedBitmap mask(image ? MakeStrip(windowDc.Get(), displayBits, stripWidth, cy, maskBits)
                           : nullptr);
    if (!mask) return nullptr;
    if (maskStrip) *maskStrip = mask.Release(); // a mask nobody wants is deleted
    return image.Release();
}

bool BuildPopupMenu(HINSTANCE module, HWND window, PopupBuildNode* node,
                    PopupBuildNode* contextNode) {
    if (!node || !node->nativeMenu || !node->popup) return false;
    int count = GetMenuItemCount(node->nativeMenu);
    if (count < 1) return false;

    HBITMAP mask = nullptr;
    HBITMAP image = BuildIconStrips(node->nativeMenu, window, &mask);
    // The node owns its strips from here on, whatever happens next.
    node->imageStrip = image;
    node->maskStrip = mask;
    if (!image || !mask) {
        DeleteStrips(node);
        ShowBuildError("Bitmap creation failed");
        return false;
    }

    CFlatPopupMenu* contextPopup = contextNode ? contextNode->popup : nullptr;
    if (!node->popup->Create(module, fpmUserBitmap, window, image, mask, contextPopup)) {
        ShowBuildError(contextNode ? "FlatPopupMenu w/context creation failed"
                                   : "FlatPopupMenu w/o context creation failed");
        DeleteStrips(node);
        return false;
    }
    if (node->title) {
        node->popup->AppendItem(fpmDisabled | fpmBold, node->title, 0, -1);
        node->popup->AppendItem(fpmSeparator, nullptr, 0, -1);
    }
    for (int j : DisplayOrder(node->nativeMenu, count)) {
        AppendNativeItem(module, window, node, j, contextNode);
    }
    if (!node->title) node->popup->SetItemFlags(0, fpmBold, true);
    return true;
}

int TrackPopupTree(HINSTANCE module, HMENU menu, HWND window, CFlatPopupMenu* popup, int x, int y,
                   const char* title, PopupBuildNode* contextNode, int* contextCommand) {
    if (!menu || GetMenuItemCount(menu) < 1) return 0;
    LauncherList list = {NewNode(menu, title, popup), popup};
    if (!BuildPopupMenu(module, window, list.first, contextNode)) return 0;
    return popup->Track(x, y, nullptr, true, false, contextCommand);
}

int ShowLauncherMenu(HINSTANCE module, HMENU root, int x, int y, HWND window, HMENU contextMenu,
                     int* contextCommand, int* parentSubmenuId) {
    if (contextCommand) *contextCommand = 0;
    if (parentSubmenuId) *parentSubmenuId = 0;
    if (!root || !window || GetMenuItemCount(root) < 1) return 0;

    PressDisplay display(window); // for the strips of every popup built here
    CFlatPopupMenu launcher;
    CFlatPopupMenu context;
    PopupBuildNode contextNode = {contextMenu, nullptr, &context, nullptr, nullptr, nullptr};
    NodeStrips contextStrips = {&contextNode};
    if (!BuildPopupMenu(module, nullptr, &contextNode, nullptr)) return 0;
    int command = 0;
    int chosen = TrackPopupTree(module, root, nullptr, &launcher, x, y, QUORIL_LAUNCHER_TITLE,
                                &contextNode, &command);
    if (contextCommand) *contextCommand = command;
    if (parentSubmenuId) *parentSubmenuId = static_cast<int>(FindParentSubmenuId(root, chosen, 0));
    return chosen;
}
