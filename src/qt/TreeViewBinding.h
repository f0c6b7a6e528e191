#pragma once
// The binding of a tree view: a QTreeWidget with one item per node. Choosing an
// entry opens its branch and closes the others, and tells the model the node; a
// press tells it the node under the pointer before the press's handlers run.
//
// Owns the widget and the nodes it last showed, with their items. Thread:
// user-interface thread only.

#include <vector>

#include "qt/Binding.h"
#include "ui/TreeView.h"

class QTreeWidgetItem;

namespace qtfront {

class TreeViewBinding final : public Binding {
  public:
    TreeViewBinding(ui::TreeView& tree, BindingHost& host, std::uint64_t serial, QWidget* parent);

    void leftPressAt(QObject* source, const QPoint& at) override;

  private:
    void applyKind() override;
    bool showsNodes() const;

    ui::TreeView& tree_;
    std::vector<ui::TreeNode> shownNodes_;
    std::vector<QTreeWidgetItem*> items_;
};

} // namespace qtfront
