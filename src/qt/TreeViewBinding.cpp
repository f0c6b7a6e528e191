#include "qt/TreeViewBinding.h"

#include <QTreeWidget>

#include "qt/BindingHost.h"
#include "qt/Conversions.h"

namespace qtfront {

TreeViewBinding::TreeViewBinding(ui::TreeView& tree, BindingHost& host, std::uint64_t serial,
                                 QWidget* parent)
    : Binding(tree, host, serial), tree_(tree) {
    auto* q = new QTreeWidget(parent);
    q->setHeaderHidden(true);
    q->setColumnCount(1);
    q->setUniformRowHeights(true);
    q->setIndentation(19);
    q->setSelectionMode(QAbstractItemView::SingleSelection);
    q->setExpandsOnDoubleClick(false);
    // No expand buttons: choosing an entry opens its branch and closes the others.
    q->setRootIsDecorated(false);
    q->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(q, &QTreeWidget::currentItemChanged, q,
                     [this, q, g = guard()](QTreeWidgetItem* current, QTreeWidgetItem*) {
                         if (current) {
                             QTreeWidgetItem* top = current;
                             while (top->parent())
                                 top = top->parent();
                             for (int i = 0; i < q->topLevelItemCount(); ++i)
                                 q->topLevelItem(i)->setExpanded(q->topLevelItem(i) == top);
                         }
                         if (!current || !g.takesInput())
                             return;
                         const int index = current->data(0, Qt::UserRole).toInt();
                         ui::TreeView& model = tree_;
                         this->host().dispatch([&model, index] {
                             if (index < model.count())
                                 model.setSelected(index);
                         });
                     });
    q->viewport()->setMouseTracking(true);
    watch(q->viewport(), InputRole::Pointer);
    adopt(q, InputRole::Keys);
}

void TreeViewBinding::leftPressAt(QObject* source, const QPoint& at) {
    auto* q = static_cast<QTreeWidget*>(widget());
    if (!q || source != q->viewport())
        return;
    QTreeWidgetItem* item = q->itemAt(at);
    if (!item)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    // The model knows the node before the handlers of the press run.
    ui::TreeView& model = tree_;
    host().dispatch([&model, index] {
        if (index < model.count())
            model.setSelected(index);
    });
}

bool TreeViewBinding::showsNodes() const {
    if (static_cast<int>(shownNodes_.size()) != tree_.count())
        return false;
    for (int i = 0; i < tree_.count(); ++i) {
        const auto& n = tree_.node(i);
        const auto& m = shownNodes_[static_cast<std::size_t>(i)];
        if (n.text != m.text || n.parent != m.parent || n.level != m.level ||
            n.imageIndex != m.imageIndex)
            return false;
    }
    return true;
}

void TreeViewBinding::applyKind() {
    auto* q = static_cast<QTreeWidget*>(widget());
    if (!showsNodes()) {
        q->clear();
        items_.clear();
        shownNodes_.clear();
        for (int i = 0; i < tree_.count(); ++i) {
            const ui::TreeNode& node = tree_.node(i);
            QTreeWidgetItem* item =
                node.parent < 0
                    ? new QTreeWidgetItem(q)
                    : new QTreeWidgetItem(items_[static_cast<std::size_t>(node.parent)]);
            item->setText(0, toQString(node.text));
            item->setData(0, Qt::UserRole, i);
            items_.push_back(item);
            shownNodes_.push_back(node);
        }
    }
    const int selected = tree_.selected();
    QTreeWidgetItem* want = selected >= 0 && selected < static_cast<int>(items_.size())
                                ? items_[static_cast<std::size_t>(selected)]
                                : nullptr;
    if (q->currentItem() != want)
        q->setCurrentItem(want);
    if (!want)
        q->clearSelection();
}

} // namespace qtfront
