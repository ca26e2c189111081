#include "flatmenu/menu_rows.h"
#include "flatmenu/scroll_rows.h"

void MenuRows::Clear() {
    m_items.clear();
    m_hotIndex = -1;
}

void MenuRows::Append(const FlatMenuItem& item) {
    m_items.push_back(item);
}

const FlatMenuItem* MenuRows::Item(int index) const {
    return index >= 0 && index < Count() ? &m_items[index] : nullptr;
}

FlatMenuItem* MenuRows::Find(unsigned key, bool byIndex) {
    if (byIndex) return key < m_items.size() ? &m_items[key] : nullptr;
    for (FlatMenuItem& item : m_items) {
        if (static_cast<unsigned>(item.commandId) == key) return &item;
    }
    return nullptr;
}

int MenuRows::Measure(const std::function<int(const FlatMenuItem&)>& textWidth) {
    int runningTop = m_geometry.topMargin;
    int widestText = 0;
    for (FlatMenuItem& item : m_items) {
        item.top = runningTop;
        if (item.flags & fpmSeparator) {
            item.height = m_geometry.separatorHeight;
        } else {
            const int width = textWidth(item);
            if (width > widestText) widestText = width;
            item.height = m_geometry.itemHeight;
        }
        runningTop += item.height;
    }
    m_width = widestText + m_geometry.extraWidth;
    return runningTop;
}

RowRect MenuRows::RowBounds(int index) const {
    const FlatMenuItem* item = Item(index);
    if (!item) return RowRect();
    return RowRect{0, item->top, m_width, item->top + item->height};
}

int MenuRows::HotCommand() const {
    const FlatMenuItem* hot = Item(m_hotIndex);
    return !hot || hot->commandId == 0 ? -1 : hot->commandId;
}

bool MenuRows::Inside(int x, int y, const RowRect& client) const {
    const int deadBand = m_geometry.deadBand;
    return x > deadBand && y > deadBand && x <= client.right && y <= client.bottom;
}

int MenuRows::HitTest(int x, int y, const RowRect& client) const {
    if (!Inside(x, y, client)) return -1;
    // The bands of a scrolling menu, and the rows hidden under them, hold no entry.
    if (m_scrolls && (y < m_rowAreaTop || y >= m_rowAreaBottom)) return -1;
    for (int i = m_scrolls ? m_firstRow : 0; i < Count(); ++i) {
        const FlatMenuItem& item = m_items[i];
        // Strict on both sides: an entry's top row belongs to no entry.
        if (item.top < y && y < item.top + item.height)
            return (item.flags & (fpmDisabled | fpmSearchField)) || !RowShown(i) ? -1 : i;
    }
    return -1;
}

bool MenuRows::IsChoosable(int index) const {
    const FlatMenuItem* item = Item(index);
    return item && !(item->flags & (fpmSeparator | fpmDisabled | fpmGrayed | fpmSearchField));
}

int MenuRows::NextChoosable(int from, int step) const {
    const int count = Count();
    // From no entry, the first step lands on the first or the last entry.
    int index = (from < 0 || from >= count) ? (step > 0 ? -1 : count) : from;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (IsChoosable(index)) return index;
    }
    return -1;
}

void MenuRows::SetUpView(bool scrolls, int windowHeight) {
    m_scrolls = scrolls;
    m_firstRow = 0;
    if (!scrolls) {
        m_rowAreaTop = 0;
        m_rowAreaBottom = windowHeight;
        return;
    }
    m_rowAreaTop = m_geometry.frame + m_geometry.scrollBandHeight;
    m_rowAreaBottom = windowHeight - m_geometry.frame - m_geometry.scrollBandHeight;
    LayOutRowsFrom(m_items, 0, m_rowAreaTop);
}

RowRect MenuRows::RowArea() const {
    const int frame = m_geometry.frame;
    return RowRect{frame, m_rowAreaTop, m_width - frame, m_rowAreaBottom};
}

bool MenuRows::RowShown(int index) const {
    const FlatMenuItem* item = Item(index);
    if (!item) return false;
    return !m_scrolls || (item->top >= m_rowAreaTop && item->top + item->height <= m_rowAreaBottom);
}

int MenuRows::LastRowShown() const {
    return m_scrolls ? ::LastRowShown(m_items, m_firstRow, ViewHeight()) : Count() - 1;
}

int MenuRows::LastFirstRow() const {
    return ::LastFirstRow(m_items, ViewHeight());
}

bool MenuRows::CanScroll(int direction) const {
    if (!m_scrolls) return false;
    if (direction < 0) return m_firstRow > 0;
    if (direction > 0) return m_firstRow < LastFirstRow();
    return false;
}

int MenuRows::ClampFirstRow(int first) const {
    const int lastFirst = LastFirstRow();
    if (first > lastFirst) first = lastFirst;
    return first < 0 ? 0 : first;
}

bool MenuRows::ShowFrom(int first) {
    m_firstRow = ClampFirstRow(first);
    LayOutRowsFrom(m_items, m_firstRow, m_rowAreaTop);
    if (m_hotIndex == -1 || RowShown(m_hotIndex)) return false;
    m_hotIndex = -1;
    return true;
}

int MenuRows::FirstRowShowing(int index) const {
    const int viewHeight = ViewHeight();
    if (index >= m_firstRow && index <= LastRowShown()) return m_firstRow;
    if (index < m_firstRow) {
        // Nothing above it can be chosen (Home, or Down wrapping around):
        // the menu's top shows with it, title and all.
        if (NextChoosable(-1, 1) == index && ::LastRowShown(m_items, 0, viewHeight) >= index)
            return 0;
        return index;
    }
    // Likewise nothing below it: the menu's end shows.
    const int lastFirst = LastFirstRow();
    if (NextChoosable(-1, -1) == index && lastFirst <= index) return lastFirst;
    return FirstRowEndingWith(m_items, index, viewHeight);
}

int MenuRows::FirstRowAfterWheel(int notches, unsigned rowsPerNotch, bool byPage) const {
    const int count = Count();
    int rows = rowsPerNotch > static_cast<unsigned>(count) ? count : static_cast<int>(rowsPerNotch);
    if (byPage) {
        rows = LastRowShown() - m_firstRow + 1;
        if (rows < 1) rows = 1;
    }
    long long first = static_cast<long long>(m_firstRow) - static_cast<long long>(notches) * rows;
    if (first < 0) first = 0;
    if (first > count) first = count;
    return static_cast<int>(first);
}

int MenuRows::ScrollBandAt(int x, int y) const {
    const int frame = m_geometry.frame;
    if (!m_scrolls || x < frame || x >= m_width - frame) return 0;
    if (y >= frame && y < m_rowAreaTop) return -1;
    if (y >= m_rowAreaBottom && y < m_rowAreaBottom + m_geometry.scrollBandHeight) return 1;
    return 0;
}
