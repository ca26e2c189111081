#include "flatmenu/scroll_rows.h"

namespace {
int Count(const std::vector<FlatMenuItem>& items) {
    return static_cast<int>(items.size());
}

// Walks up from `index` while the rows from there down to `index` fit.
int FirstRowFitting(const std::vector<FlatMenuItem>& items, int index, int viewHeight) {
    int first = index;
    int span = items[index].height;
    while (first > 0 && span + items[first - 1].height <= viewHeight)
        span += items[--first].height;
    return first;
}
} // namespace

void LayOutRowsFrom(std::vector<FlatMenuItem>& items, int first, int viewTop) {
    int top = viewTop;
    for (int i = first; i < Count(items); ++i) {
        items[i].top = top;
        top += items[i].height;
    }
    top = viewTop;
    for (int i = first - 1; i >= 0; --i) {
        top -= items[i].height;
        items[i].top = top;
    }
}

int LastRowShown(const std::vector<FlatMenuItem>& items, int first, int viewHeight) {
    int span = 0;
    int next = first;
    while (next < Count(items) && span + items[next].height <= viewHeight)
        span += items[next++].height;
    return next - 1;
}

int LastFirstRow(const std::vector<FlatMenuItem>& items, int viewHeight) {
    return items.empty() ? 0 : FirstRowFitting(items, Count(items) - 1, viewHeight);
}

int FirstRowEndingWith(const std::vector<FlatMenuItem>& items, int index, int viewHeight) {
    if (index < 0 || index >= Count(items)) return 0;
    return FirstRowFitting(items, index, viewHeight);
}
