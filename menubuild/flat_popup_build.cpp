// Converts the native menu tree of a press into flat popups, ordered by the
// stored positions, each with a strip of small icons cut from the native
// items' bitmaps; tracks the tree and reports the choice.
#include "menubuild/flat_popup_build.h"
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "common/gdi_guards.h"
#include "flatmenu/flat_popup_menu.h"
#include "menubuild/native_build.h"
#include "menubuild/press_context.h"
#include "menubuild/strip_pixels.h"
#include "menubuild/menu_item_data.h"
#include "menubuild/native_menu_lookup.h"

namespace {
const UINT kBreakTypes = MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK;

void ShowBuildError(const char* text) {
    MessageBoxA(nullptr, text, "BuildPopupMenu", MB_OK);
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

unsigned LastEntry(const PopupNode& node) {
    return static_cast<unsigned>(node.popup.Rows().Count() - 1);
}

// Appends native item `j` to the node's popup; a submenu gets a child popup
// and a node of its own at the tree's end, built at once.
void AppendNativeItem(PressContext& press, PopupNode& node, int j, PopupNode* contextNode) {
    MenuItemData data;
    if (!GetMenuItemData(node.nativeMenu, j, TRUE, &data)) return;
    const MENUITEMINFOA& info = data.info;
    if (info.fType & kBreakTypes) {
        node.popup.AppendItem(fpmSeparator, nullptr, 0, -1);
        return;
    }
    int flags = (info.fState & (MFS_GRAYED | MFS_DISABLED)) ? fpmDisabled | fpmGrayed : 0;
    int iconIndex = info.hbmpUnchecked ? j : -1;
    const char* text = info.dwTypeData ? info.dwTypeData : "";
    int id = static_cast<int>(info.wID);
    // Typing in the root finds every entry of the user's menu, also by its
    // target's file name; the placeholder of an empty menu is not one.
    const char* record = reinterpret_cast<const char*>(info.dwItemData);
    const bool placeholder = record && strcmp(record, PlaceholderMarker) == 0;
    const std::string targetName =
        info.hSubMenu ? std::string() : TargetFileStem(data.fields.target);
    if (!info.hSubMenu) {
        node.popup.AppendItem(flags, text, id, iconIndex);
        node.popup.SetItemSearchFacts(LastEntry(node), true, !placeholder, targetName.c_str());
        return;
    }
    PopupNode& child = press.popups.Add(info.hSubMenu, text);
    node.popup.AppendPopup(flags, text, &child.popup, iconIndex, id);
    node.popup.SetItemSearchFacts(LastEntry(node), true, true, nullptr);
    BuildPopupMenu(press, child, contextNode);
}

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
IconStrips BuildIconStrips(PressContext& press, HMENU menu, HWND window) {
    IconStrips strips;
    if (!menu) return strips;
    int count = GetMenuItemCount(menu);
    if (count < 1) return strips;
    const int cx = press.IconSize(), cy = cx;
    const int stripWidth = count * cx;

    WindowDc windowDc = press.display.DcFor(window);
    if (!windowDc.Get()) return strips;
    // Pixels are gathered only once an item has an icon: the strips of a
    // menu without icons stay as they were made.
    StripPixels pixels(press.cache.strips);
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
    const int displayBits = press.display.Depth(windowDc.Get());
    const DWORD* imageBits = pixels.Prepared() ? pixels.Image().data() : nullptr;
    const DWORD* maskBits = pixels.Prepared() ? pixels.Mask().data() : nullptr;
    OwnedBitmap image(MakeStrip(windowDc.Get(), displayBits, stripWidth, cy, imageBits));
    OwnedBitmap mask(image ? MakeStrip(windowDc.Get(), displayBits, stripWidth, cy, maskBits)
                           : nullptr);
    if (!mask) return strips;
    strips.image = std::move(image);
    strips.mask = std::move(mask);
    return strips;
}

bool BuildPopupMenu(PressContext& press, PopupNode& node, PopupNode* contextNode) {
    if (!node.nativeMenu) return false;
    int count = GetMenuItemCount(node.nativeMenu);
    if (count < 1) return false;

    // The node owns its strips from here on, whatever happens next.
    node.strips = BuildIconStrips(press, node.nativeMenu, nullptr);
    if (!node.strips) {
        ShowBuildError("Bitmap creation failed");
        return false;
    }

    CFlatPopupMenu* contextPopup = contextNode ? &contextNode->popup : nullptr;
    if (!node.popup.Create(press.module, fpmUserBitmap, nullptr, node.strips.image.Get(),
                           node.strips.mask.Get(), contextPopup)) {
        ShowBuildError(contextNode ? "FlatPopupMenu w/context creation failed"
                                   : "FlatPopupMenu w/o context creation failed");
        node.strips = IconStrips();
        return false;
    }
    if (node.titled) {
        node.popup.AppendItem(fpmDisabled | fpmBold, node.title.c_str(), 0, -1);
        node.popup.AppendItem(fpmSeparator, nullptr, 0, -1);
    }
    for (int j : DisplayOrder(node.nativeMenu, count)) {
        AppendNativeItem(press, node, j, contextNode);
    }
    if (!node.titled) node.popup.SetItemFlags(0, fpmBold, true);
    return true;
}

int TrackPopupTree(PressContext& press, HMENU menu, int x, int y, const char* title,
                   PopupNode* contextNode, int* contextCommand) {
    if (!menu || GetMenuItemCount(menu) < 1) return 0;
    PopupNode& first = press.popups.Add(menu, title);
    if (!BuildPopupMenu(press, first, contextNode)) return 0;
    return first.popup.Track(x, y, nullptr, true, false, contextCommand);
}

int ShowLauncherMenu(PressContext& press, HMENU root, int x, int y, HMENU contextMenu) {
    press.choice = MenuChoice();
    if (!root || !press.hostWindow || GetMenuItemCount(root) < 1) return 0;

    struct Released { // however the build or the tracking ends
        PopupTree& popups;
        ~Released() { popups.Clear(); }
    } released = {press.popups};
    PopupNode& contextNode = press.popups.Context();
    contextNode.nativeMenu = contextMenu;
    if (!BuildPopupMenu(press, contextNode, nullptr)) return 0;
    int command = 0;
    int chosen = TrackPopupTree(press, root, x, y, QUORIL_LAUNCHER_TITLE, &contextNode, &command);
    press.choice.itemId = chosen;
    press.choice.contextCommand = command;
    press.choice.parentSubmenuId = static_cast<int>(FindParentSubmenuId(root, chosen, 0));
    return chosen;
}
