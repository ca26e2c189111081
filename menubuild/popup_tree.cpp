#include "menubuild/popup_tree.h"

PopupNode& PopupTree::Add(HMENU menu, const char* title) {
    m_nodes.push_back(std::make_unique<PopupNode>(menu, title));
    return *m_nodes.back();
}

PopupNode& PopupTree::Context() {
    if (!m_context) m_context = std::make_unique<PopupNode>(nullptr, nullptr);
    return *m_context;
}

void PopupTree::Clear() {
    // A node is added after the node of the menu that holds it.
    while (!m_nodes.empty())
        m_nodes.pop_back();
    m_context.reset();
}
