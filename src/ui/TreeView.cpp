#include "ui/TreeView.h"

#include <stdexcept>

namespace ui {

int TreeView::addNode(int parent, std::string text, int imageIndex, int selectedIndex) {
    if (parent < -1 || parent >= count())
        throw std::out_of_range(name() + " has no node " + std::to_string(parent));
    // The new node goes after the parent's last descendant (or at the end for a
    // top node), which keeps the vector in absolute-index order.
    int at = count();
    int level = 0;
    if (parent >= 0) {
        level = nodes_[static_cast<std::size_t>(parent)].level + 1;
        at = parent + 1;
        while (at < count() && nodes_[static_cast<std::size_t>(at)].level >= level)
            ++at;
    }
    for (auto& n : nodes_)
        if (n.parent >= at)
            ++n.parent;
    if (selected_ >= at)
        ++selected_;
    nodes_.insert(nodes_.begin() + at,
                  TreeNode{std::move(text), imageIndex, selectedIndex, parent, level});
    changed();
    return at;
}

void TreeView::clear() {
    nodes_.clear();
    selected_ = -1;
    changed();
}

const TreeNode& TreeView::node(int absoluteIndex) const {
    if (absoluteIndex < 0 || absoluteIndex >= count())
        throw std::out_of_range(name() + " has no node " + std::to_string(absoluteIndex));
    return nodes_[static_cast<std::size_t>(absoluteIndex)];
}

void TreeView::setImageIndex(int absoluteIndex, int imageIndex) {
    (void)node(absoluteIndex);
    auto& n = nodes_[static_cast<std::size_t>(absoluteIndex)];
    if (n.imageIndex != imageIndex || n.selectedIndex != imageIndex) {
        n.imageIndex = imageIndex;
        n.selectedIndex = imageIndex;
        changed();
    }
}

void TreeView::setSelected(int absoluteIndex) {
    if (absoluteIndex < -1 || absoluteIndex >= count())
        throw std::out_of_range(name() + " has no node " + std::to_string(absoluteIndex));
    if (selected_ != absoluteIndex) {
        selected_ = absoluteIndex;
        changed();
    }
}

} // namespace ui
