// Converts the native menu tree of a press into flat popups, ordered by the
// stored positions, each with a strip of small icons cut from the native
// items' bitmaps; tracks the tree and reports the choice.
#include "menubuild/flat_popup_build.h"
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <new>
#include <vector>
#include "flatmenu/flat_popup_menu.h"
#include "store/menu_item_data.h"
#include "store/registry_layout.h"

namespace {
const UINT kBreakTypes = MFT_SEPARATOR | MFT_MENUBREAK | MFT_MENUBARBREAK;

void ShowBuildError(const char* text) {
    MessageBoxA(nullptr, text, "BuildPopupMenu", MB_OK);
}

char* CopyText(const char* text) {
    if (!text) return nullptr;
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(malloc(n));
    if (copy) memcpy(copy, text, n);
    return copy;
}

PopupBuildNode* NewNode(HMENU menu, const char* title, CFlatPopupMenu* popup) {
    PopupBuildNode* node = new (std::nothrow) PopupBuildNode();
    if (!node) return nullptr;
    node->nativeMenu = menu;
    node->title = CopyText(title);
    node->popup = popup;
    return node;
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
    CFlatPopupMenu* child = new (std::nothrow) CFlatPopupMenu();
    if (!child) return; // the submenu item is left out
    PopupBuildNode* childNode = NewNode(info.hSubMenu, text, child);
    if (!childNode) {
        delete child;
        return;
    }
    node->popup->AppendPopup(flags, text, child, iconIndex, id);
    AppendAtTail(node, childNode);
    BuildPopupMenu(module, window, childNode, contextNode);
}
} // namespace

HBITMAP BuildIconStrips(HMENU menu, HWND window, HBITMAP* maskStrip) {
    if (maskStrip) *maskStrip = nullptr;
    if (!menu) return nullptr;
    if (!window) window = GetDesktopWindow();
    int count = GetMenuItemCount(menu);
    if (count < 1) return nullptr;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);

    HDC windowDc = GetDC(window);
    if (!windowDc) return nullptr;
    HDC imageDc = CreateCompatibleDC(windowDc);
    HDC maskDc = CreateCompatibleDC(windowDc);
    HDC sourceDc = CreateCompatibleDC(windowDc);
    HBITMAP image = nullptr, mask = nullptr;
    if (imageDc && maskDc && sourceDc) {
        image = CreateCompatibleBitmap(windowDc, count * cx, cy);
        mask = image ? CreateCompatibleBitmap(windowDc, count * cx, cy) : nullptr;
    }
    if (image && mask) {
        HGDIOBJ oldImage = SelectObject(imageDc, image);
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        for (int k = 0; k < count; ++k) {
            MENUITEMINFOA info = {};
            info.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
            info.fMask = MIIM_CHECKMARKS | MIIM_TYPE;
            if (!GetMenuItemInfoA(menu, k, TRUE, &info)) continue;
            if ((info.fType & kBreakTypes) || !info.hbmpChecked || !info.hbmpUnchecked) continue;
            HGDIOBJ oldSource = SelectObject(sourceDc, info.hbmpChecked);
            BitBlt(maskDc, k * cx, 0, cx, cy, sourceDc, 0, 0, SRCCOPY);
            SelectObject(sourceDc, info.hbmpUnchecked);
            BitBlt(imageDc, k * cx, 0, cx, cy, sourceDc, 0, 0, SRCCOPY);
            SelectObject(sourceDc, oldSource);
        }
        SelectObject(imageDc, oldImage);
        SelectObject(maskDc, oldMask);
    } else {
        if (image) DeleteObject(image);
        image = nullptr;
    }
    ReleaseDC(window, windowDc);
    if (imageDc) DeleteDC(imageDc);
    if (maskDc) DeleteDC(maskDc);
    if (sourceDc) DeleteDC(sourceDc);
    if (!image) return nullptr;
    if (maskStrip)
        *maskStrip = mask;
    else
        DeleteObject(mask);
    return image;
}

bool BuildPopupMenu(HINSTANCE module, HWND window, PopupBuildNode* node,
                    PopupBuildNode* contextNode) {
    if (!node || !node->nativeMenu || !node->popup) return false;
    int count = GetMenuItemCount(node->nativeMenu);
    if (count < 1) return false;

    HBITMAP mask = nullptr;
    HBITMAP image = BuildIconStrips(node->nativeMenu, window, &mask);
    if (!image || !mask) {
        if (image) DeleteObject(image);
        if (mask) DeleteObject(mask);
        ShowBuildError("Bitmap creation failed");
        return false;
    }
    node->imageStrip = image;
    node->maskStrip = mask;

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
    PopupBuildNode* first = NewNode(menu, title, popup);
    if (!first) return 0;
    int chosen = 0;
    if (BuildPopupMenu(module, window, first, contextNode)) {
        chosen = popup->Track(x, y, nullptr, true, false, contextCommand);
    }
    ReleaseList(first, popup);
    return chosen;
}

int ShowLauncherMenu(HINSTANCE module, HMENU root, int x, int y, HWND window, HMENU contextMenu,
                     int* contextCommand, int* parentSubmenuId) {
    if (contextCommand) *contextCommand = 0;
    if (parentSubmenuId) *parentSubmenuId = 0;
    if (!root || !window || GetMenuItemCount(root) < 1) return 0;

    CFlatPopupMenu launcher;
    CFlatPopupMenu context;
    PopupBuildNode contextNode = {contextMenu, nullptr, &context, nullptr, nullptr, nullptr};
    int chosen = 0;
    if (BuildPopupMenu(module, nullptr, &contextNode, nullptr)) {
        int command = 0;
        chosen = TrackPopupTree(module, root, nullptr, &launcher, x, y, QUORIL_LAUNCHER_TITLE,
                                &contextNode, &command);
        if (contextCommand) *contextCommand = command;
        if (parentSubmenuId)
            *parentSubmenuId = static_cast<int>(FindParentSubmenuId(root, chosen, 0));
    }
    DeleteStrips(&contextNode);
    return chosen;
}
