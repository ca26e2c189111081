// The flat popups built for one press: one node per popup, each owning its
// popup, its image and mask strips and its title.
#pragma once
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "common/gdi_guards.h"
#include "flatmenu/flat_popup_menu.h"

// A popup's strips of small icons: the image and its mask.
struct IconStrips {
    OwnedBitmap image;
    OwnedBitmap mask;
    explicit operator bool() const { return image && mask; }
};

struct PopupNode {
    PopupNode(HMENU menu, const char* titleText)
        : nativeMenu(menu), titled(titleText != nullptr), title(titleText ? titleText : "") {}
    HMENU nativeMenu; // the native menu it shows, owned by the press's native tree
    bool titled;
    std::string title;
    // Declared before the popup, so that the popup goes first.
    IconStrips strips;
    CFlatPopupMenu popup;
};

class PopupTree {
  public:
    PopupTree() = default;
    ~PopupTree() { Clear(); }
    PopupTree(const PopupTree&) = delete;
    PopupTree& operator=(const PopupTree&) = delete;

    // A new node at the end of the tree.
    PopupNode& Add(HMENU menu, const char* title);
    // The context menu's node, made on first use.
    PopupNode& Context();
    bool HasContext() const { return m_context != nullptr; }
    size_t Count() const { return m_nodes.size(); }
    PopupNode& Node(size_t index) { return *m_nodes[index]; }
    // Releases every popup, submenus before the menus that hold them, and
    // the context menu last.
    void Clear();

  private:
    std::vector<std::unique_ptr<PopupNode>> m_nodes;
    std::unique_ptr<PopupNode> m_context;
};
