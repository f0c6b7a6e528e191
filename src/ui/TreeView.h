#pragma once
// A tree of text nodes with image indexes. Nodes are numbered by their absolute
// index: their position in the tree read from top to bottom, children after their
// parent.
//
// Thread: user-interface thread only.

#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

struct TreeNode {
    std::string text;
    int imageIndex = -1;
    int selectedIndex = -1;
    int parent = -1; ///< absolute index of the parent, -1 for a top node
    int level = 0;
};

class TreeView : public Control {
  public:
    TreeView(std::string name, Control* parent)
        : Control(Kind::TreeView, std::move(name), parent) {}

    /// Adds a node as the last child of `parent` (-1: a top node) and returns its
    /// absolute index. Throws std::out_of_range for an unknown parent.
    int addNode(int parent, std::string text, int imageIndex = -1, int selectedIndex = -1);
    void clear();
    int count() const { return static_cast<int>(nodes_.size()); }
    /// Throws std::out_of_range.
    const TreeNode& node(int absoluteIndex) const;

    /// Throws std::out_of_range.
    void setImageIndex(int absoluteIndex, int imageIndex);

    /// -1 when nothing is selected.
    int selected() const { return selected_; }
    /// -1 clears the selection; out-of-range indexes are refused with std::out_of_range.
    void setSelected(int absoluteIndex);

  private:
    std::vector<TreeNode> nodes_;
    int selected_ = -1;
};

} // namespace ui
