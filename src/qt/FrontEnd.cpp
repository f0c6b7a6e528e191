#include "qt/FrontEnd.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

#include "qt/BusyIndicator.h"
#include "qt/CaptionPanelWidget.h"
#include "qt/Conversions.h"
#include "qt/PageControlWidget.h"
#include "qt/PanelWidget.h"
#include "qt/PictureWidget.h"
#include "qt/SideChannelWidget.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Menu.h"
#include "ui/PageControl.h"
#include "ui/StringGrid.h"
#include "ui/WebView.h"
#include "ui/Widgets.h"

namespace qtfront {

namespace {

/// Kinds whose widgets have no pointer behaviour of their own: the model's events
/// are all that a press, move or release on them means, and they must not reach the
/// parent as well.
bool ownsPointer(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Form:
    case ui::Kind::Panel:
    case ui::Kind::Label:
    case ui::Kind::Image:
    case ui::Kind::PageControl:
    case ui::Kind::TabSheet:
    case ui::Kind::CaptionPanel:
    case ui::Kind::SideChannel:
    case ui::Kind::Animation:
    case ui::Kind::MediaSurface:
    case ui::Kind::ProgressBar:
        return true;
    default:
        return false;
    }
}

/// Kinds that click when the left button is released over them. Buttons and radio
/// buttons click through Qt's own click, which also covers the keyboard.
bool clicksOnRelease(ui::Kind kind) {
    switch (kind) {
    case ui::Kind::Button:
    case ui::Kind::RadioButton:
    case ui::Kind::WebView:
    case ui::Kind::Menu:
    case ui::Kind::MenuItem:
    case ui::Kind::Timer:
        return false;
    default:
        return true;
    }
}

/// Kinds whose background the model's colour paints.
bool paintsColour(const ui::Control& c) {
    switch (c.kind()) {
    case ui::Kind::Form:
    case ui::Kind::Panel:
    case ui::Kind::TabSheet:
    case ui::Kind::CaptionPanel:
    case ui::Kind::Edit:
    case ui::Kind::Memo:
    case ui::Kind::StringGrid:
    case ui::Kind::TreeView:
        return true;
    case ui::Kind::Label:
        return !static_cast<const ui::Label&>(c).transparent();
    default:
        return false;
    }
}

/// Kinds that become a flat plain surface when the model gives them a colour.
bool flatWhenColoured(ui::Kind kind) {
    return kind == ui::Kind::Form || kind == ui::Kind::Panel || kind == ui::Kind::TabSheet ||
           kind == ui::Kind::Label;
}

/// Control names are designed identifiers; anything else would break the style
/// sheet selector that names the widget.
QString objectNameFor(const ui::Control& c) {
    QString name = toQString(c.name());
    for (auto& ch : name)
        if (!ch.isLetterOrNumber() && ch != u'_')
            ch = u'_';
    if (name.isEmpty() || name.front().isDigit())
        name.prepend(u'_');
    return name;
}

bool sameNodes(const std::vector<ui::TreeNode>& a, const ui::TreeView& tree) {
    if (static_cast<int>(a.size()) != tree.count())
        return false;
    for (int i = 0; i < tree.count(); ++i) {
        const auto& n = tree.node(i);
        const auto& m = a[static_cast<std::size_t>(i)];
        if (n.text != m.text || n.parent != m.parent || n.level != m.level ||
            n.imageIndex != m.imageIndex)
            return false;
    }
    return true;
}

/// Pages report addresses in their normal form ("http://host/"); the model may hold
/// the address as it was typed. Both name the same page.
bool samePage(const std::string& modelUrl, const QUrl& reported) {
    const auto norm = QUrl::StripTrailingSlash | QUrl::NormalizePathSegments;
    const QUrl model = modelUrl.empty() ? QUrl(QStringLiteral("about:blank"))
                                        : QUrl::fromUserInput(toQString(modelUrl));
    return model.adjusted(norm) == reported.adjusted(norm);
}

/// Restores a flag on every way out of a scope.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = old_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool old_;
};

} // namespace

FrontEnd::FrontEnd(ui::Application& app, Skins skins) : app_(app), skins_(std::move(skins)) {
    controlRemoved_ = app_.controlRemoved.subscribe([this](ui::Control& c) { forget(c); });
}

FrontEnd::~FrontEnd() {
    controlRemoved_.reset();
    for (auto& [control, entry] : entries_)
        for (const auto& object : entry.watched)
            if (object)
                object->removeEventFilter(this);
    watched_.clear();
    // With the registry empty, whatever the widgets say while they go reaches no control.
    entries_.clear();
    for (auto& window : windows_)
        delete window.data();
}

// --- bringing widgets in step ----------------------------------------------------

void FrontEnd::sync() {
    if (syncing_)
        return;
    {
        FlagScope scope(syncing_);
        updated_.clear();
        const std::vector<ui::Form*> forms = app_.forms();
        for (ui::Form* form : forms)
            syncControl(*form);
        // Windows appear once their controls are all in place.
        for (ui::Form* form : forms) {
            auto it = entries_.find(form);
            if (it == entries_.end() || !it->second.window)
                continue;
            FormWindow* window = it->second.window;
            if (form->visible() && window->isHidden())
                window->show();
            else if (!form->visible() && !window->isHidden())
                window->hide();
        }
    }
    if (app_.terminated() && !terminatedSignalled_) {
        terminatedSignalled_ = true;
        emit terminated();
    }
}

void FrontEnd::syncControl(ui::Control& control) {
    auto it = entries_.find(&control);
    if (it == entries_.end()) {
        build(control);
        return;
    }
    Entry& entry = it->second;
    if (entry.dirty || entry.revision != control.revision()) {
        apply(control, entry);
        for (const auto& child : control.children())
            if (!entries_.contains(child.get()))
                build(*child);
        restack(control, entry);
    }
    for (const auto& child : control.children())
        syncControl(*child);
}

void FrontEnd::build(ui::Control& control) {
    Entry& entry = entries_[&control];
    entry.control = &control;
    entry.serial = ++serials_;
    makeWidget(control, entry);
    apply(control, entry);
    for (const auto& child : control.children())
        build(*child);
    restack(control, entry);
}

void FrontEnd::apply(ui::Control& control, Entry& entry) {
    // A new skin group changes what every descendant inherits.
    if (entry.skin >= 0 && entry.skin != control.skin()) {
        std::vector<const ui::Control*> stack{&control};
        while (!stack.empty()) {
            const ui::Control* c = stack.back();
            stack.pop_back();
            for (const auto& child : c->children()) {
                if (auto it = entries_.find(child.get()); it != entries_.end())
                    it->second.dirty = true;
                stack.push_back(child.get());
            }
        }
    }
    if (control.kind() == ui::Kind::Form)
        applyForm(static_cast<ui::Form&>(control), entry);
    else if (control.kind() == ui::Kind::MenuItem)
        applyMenuItem(static_cast<ui::MenuItem&>(control), entry);
    else
        applyCommon(control, entry);
    applyKind(control, entry);
    applyStyle(control, entry);
    entry.skin = control.skin();
    entry.revision = control.revision();
    entry.dirty = false;
    updated_.push_back(&control);
}

namespace {
void applyFontAndCursor(QWidget& w, const ui::Control& control) {
    const QFont font = toQFont(control.font());
    if (w.font() != font)
        w.setFont(font);
    if (control.cursor() == ui::Cursor::Default)
        w.unsetCursor();
    else
        w.setCursor(toCursorShape(control.cursor()));
}
} // namespace

namespace {
// A thumbnail or caption panel that grows or shrinks by a pointer's hover step
// glides to its new place instead of jumping; every other change is immediate.
void moveTo(QWidget& w, ui::Kind kind, const QRect& target) {
    const QVariant pending = w.property("zorvexTarget");
    if (pending.isValid() && pending.toRect() == target)
        return; // already gliding there
    if (w.geometry() == target)
        return;
    auto* running = w.findChild<QPropertyAnimation*>(QStringLiteral("zorvexGlide"), Qt::FindDirectChildrenOnly);
    if (running)
        running->stop();
    const QRect from = w.geometry();
    const bool hoverStep = (kind == ui::Kind::Image || kind == ui::Kind::CaptionPanel) && w.isVisible() &&
                           std::abs(from.width() - target.width()) <= 20 &&
                           std::abs(from.height() - target.height()) <= 20 && from.size() != target.size();
    if (!hoverStep) {
        w.setProperty("zorvexTarget", QVariant());
        w.setGeometry(target);
        return;
    }
    auto* glide = running;
    if (!glide) {
        glide = new QPropertyAnimation(&w, "geometry", &w);
        glide->setObjectName(QStringLiteral("zorvexGlide"));
        QObject::connect(glide, &QPropertyAnimation::finished, &w,
                         [&w] { w.setProperty("zorvexTarget", QVariant()); });
    }
    glide->setDuration(90);
    glide->setEasingCurve(QEasingCurve::OutCubic);
    glide->setStartValue(from);
    glide->setEndValue(target);
    w.setProperty("zorvexTarget", target);
    glide->start();
}
} // namespace

void FrontEnd::applyCommon(ui::Control& control, Entry& entry) {
    QWidget* w = entry.widget;
    if (!w)
        return;
    const ui::Bounds& b = control.bounds();
    switch (control.kind()) {
    case ui::Kind::TabSheet:
        // Sheets fill the page control beside its tabs, whatever their own bounds say.
        break;
    case ui::Kind::SideChannel:
        static_cast<SideChannelWidget*>(w)->setPanel(b.top, b.width, b.height);
        break;
    default:
        moveTo(*w, control.kind(), QRect(b.left, b.top, b.width, b.height));
        break;
    }
    if (w->isHidden() == control.visible())
        w->setVisible(control.visible());
    if (w->isEnabled() != control.enabled())
        w->setEnabled(control.enabled());
    const QString hint = toQString(control.hint());
    if (w->toolTip() != hint)
        w->setToolTip(hint);
    applyFontAndCursor(*w, control);
}

void FrontEnd::applyForm(ui::Form& form, Entry& entry) {
    FormWindow* window = entry.window;
    if (!window)
        return;
    const QString title = toQString(form.caption().empty() ? app_.title() : form.caption());
    if (window->windowTitle() != title)
        window->setWindowTitle(title);
    const ui::Bounds& b = form.bounds();
    if (b.left != entry.formBounds.left || b.top != entry.formBounds.top)
        window->move(b.left, b.top);
    if (b.width != entry.formBounds.width || b.height != entry.formBounds.height)
        window->setClientSize(QSize(std::max(b.width, 1), std::max(b.height, 1)));
    entry.formBounds = b;
    window->setEnabled(form.enabled());
    applyFontAndCursor(*entry.widget, form);
}

void FrontEnd::applyMenuItem(ui::MenuItem& item, Entry& entry) {
    QAction* action = entry.action;
    if (!action)
        return;
    const bool separator = item.caption() == "-";
    action->setSeparator(separator);
    const QString text = toQString(item.caption());
    if (!separator && action->text() != text)
        action->setText(text);
    action->setVisible(item.visible());
    action->setEnabled(item.enabled());
    // Checking is the handler's business; the mark only shows what the model holds.
    action->setCheckable(item.checked());
    action->setChecked(item.checked());
    action->setToolTip(toQString(item.hint()));
}

void FrontEnd::applyKind(ui::Control& control, Entry& entry) {
    QWidget* w = entry.widget;
    switch (control.kind()) {
    case ui::Kind::Panel:
        static_cast<PanelWidget*>(w)->setCaption(toQString(control.caption()));
        break;
    case ui::Kind::Label: {
        auto& label = static_cast<ui::Label&>(control);
        auto* q = static_cast<QLabel*>(w);
        const QString text = toQString(label.caption());
        if (q->text() != text)
            q->setText(text);
        q->setWordWrap(label.wordWrap());
        break;
    }
    case ui::Kind::Image: {
        auto& image = static_cast<ui::Image&>(control);
        auto* q = static_cast<PictureWidget*>(w);
        q->setImage(image.picture() ? toQImage(*image.picture()) : QImage());
        q->setStretch(image.stretch());
        break;
    }
    case ui::Kind::Button: {
        auto& button = static_cast<ui::Button&>(control);
        auto* q = static_cast<QPushButton*>(w);
        const QString text = toQString(button.caption());
        if (q->text() != text)
            q->setText(text);
        if (button.glyph() && !button.glyph()->empty()) {
            const QImage glyph = toQImage(*button.glyph());
            q->setIcon(QIcon(QPixmap::fromImage(glyph)));
            q->setIconSize(
                glyph.size().boundedTo(QSize(button.width(), button.height()) - QSize(6, 6)));
        } else if (!q->icon().isNull()) {
            q->setIcon(QIcon());
        }
        break;
    }
    case ui::Kind::Edit: {
        auto& edit = static_cast<ui::Edit&>(control);
        auto* q = static_cast<QLineEdit*>(w);
        const QString text = toQString(edit.text());
        // Setting the same text would move the caret the user is typing at.
        if (q->text() != text)
            q->setText(text);
        q->setReadOnly(edit.readOnly());
        break;
    }
    case ui::Kind::Memo: {
        auto& memo = static_cast<ui::Memo&>(control);
        auto* q = static_cast<QPlainTextEdit*>(w);
        const QString text = toQString(memo.text());
        if (q->toPlainText() != text) {
            const bool grew = memo.lines().size() > entry.memoLines && entry.memoLines > 0;
            q->setPlainText(text);
            // A memo that gets lines added is a log: keep its newest line in view.
            if (grew)
                q->verticalScrollBar()->setValue(q->verticalScrollBar()->maximum());
        }
        entry.memoLines = memo.lines().size();
        break;
    }
    case ui::Kind::RadioButton: {
        auto& radio = static_cast<ui::RadioButton&>(control);
        auto* q = static_cast<QRadioButton*>(w);
        q->setText(toQString(radio.caption()));
        q->setChecked(radio.checked());
        break;
    }
    case ui::Kind::TrackBar: {
        auto& bar = static_cast<ui::TrackBar&>(control);
        auto* q = static_cast<QSlider*>(w);
        q->setOrientation(bar.height() > bar.width() ? Qt::Vertical : Qt::Horizontal);
        q->setRange(bar.min(), bar.max());
        q->setPageStep(std::max(1, (bar.max() - bar.min()) / 10));
        q->setValue(bar.position());
        break;
    }
    case ui::Kind::ProgressBar: {
        auto& bar = static_cast<ui::ProgressBar&>(control);
        auto* q = static_cast<QProgressBar*>(w);
        q->setRange(bar.min(), bar.max());
        q->setValue(bar.position());
        break;
    }
    case ui::Kind::PageControl: {
        auto& pages = static_cast<ui::PageControl&>(control);
        static_cast<PageControlWidget*>(w)->setTabsAtBottom(pages.tabsAtBottom());
        refreshTabs(control);
        break;
    }
    case ui::Kind::TabSheet:
        // The caption and tab visibility live on the page control's tab bar.
        if (control.parent() && control.parent()->kind() == ui::Kind::PageControl)
            refreshTabs(*control.parent());
        break;
    case ui::Kind::CaptionPanel: {
        auto& panel = static_cast<ui::CaptionPanel&>(control);
        auto* q = static_cast<CaptionPanelWidget*>(w);
        q->setCaption(toQString(panel.caption()));
        q->setTitleHeight(panel.titleHeight());
        break;
    }
    case ui::Kind::SideChannel: {
        auto& side = static_cast<ui::SideChannel&>(control);
        auto* q = static_cast<SideChannelWidget*>(w);
        q->setCaption(toQString(side.caption()));
        q->setPopped(side.popped(), true);
        break;
    }
    case ui::Kind::StringGrid: {
        auto& grid = static_cast<ui::StringGrid&>(control);
        auto* q = static_cast<QTableWidget*>(w);
        // The first fixed row is the header; further fixed rows show as plain rows
        // that cannot be selected.
        const int header = grid.fixedRows() > 0 ? 1 : 0;
        const int rows = std::max(0, grid.rowCount() - header);
        if (q->columnCount() != grid.colCount())
            q->setColumnCount(grid.colCount());
        if (q->rowCount() != rows)
            q->setRowCount(rows);
        q->horizontalHeader()->setVisible(header > 0);
        for (int col = 0; col < grid.colCount(); ++col) {
            if (header) {
                const QString text = toQString(grid.cell(col, 0));
                QTableWidgetItem* item = q->horizontalHeaderItem(col);
                if (!item) {
                    item = new QTableWidgetItem;
                    q->setHorizontalHeaderItem(col, item);
                }
                if (item->text() != text)
                    item->setText(text);
            }
            if (q->columnWidth(col) != grid.colWidth(col))
                q->setColumnWidth(col, grid.colWidth(col));
        }
        for (int row = 0; row < rows; ++row) {
            const int modelRow = row + header;
            const bool fixed = modelRow < grid.fixedRows();
            for (int col = 0; col < grid.colCount(); ++col) {
                QTableWidgetItem* item = q->item(row, col);
                if (!item) {
                    item = new QTableWidgetItem;
                    q->setItem(row, col, item);
                }
                const Qt::ItemFlags flags =
                    fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
                if (item->flags() != flags)
                    item->setFlags(flags);
                const QString text = toQString(grid.cell(col, modelRow));
                if (item->text() != text)
                    item->setText(text);
            }
        }
        const int selRow = grid.selectedRow() - header;
        if (selRow >= 0 && selRow < rows && grid.selectedCol() < grid.colCount() &&
            (q->currentRow() != selRow || q->currentColumn() != grid.selectedCol()))
            q->setCurrentCell(selRow, grid.selectedCol());
        break;
    }
    case ui::Kind::TreeView: {
        auto& tree = static_cast<ui::TreeView&>(control);
        auto* q = static_cast<QTreeWidget*>(w);
        if (!sameNodes(entry.treeNodes, tree)) {
            q->clear();
            entry.treeItems.clear();
            entry.treeNodes.clear();
            for (int i = 0; i < tree.count(); ++i) {
                const ui::TreeNode& node = tree.node(i);
                QTreeWidgetItem* item =
                    node.parent < 0 ? new QTreeWidgetItem(q)
                                    : new QTreeWidgetItem(
                                          entry.treeItems[static_cast<std::size_t>(node.parent)]);
                item->setText(0, toQString(node.text));
                item->setData(0, Qt::UserRole, i);
                entry.treeItems.push_back(item);
                entry.treeNodes.push_back(node);
            }
        }
        const int selected = tree.selected();
        QTreeWidgetItem* want = selected >= 0 && selected < static_cast<int>(entry.treeItems.size())
                                    ? entry.treeItems[static_cast<std::size_t>(selected)]
                                    : nullptr;
        if (q->currentItem() != want)
            q->setCurrentItem(want);
        if (!want)
            q->clearSelection();
        break;
    }
    case ui::Kind::Animation:
        static_cast<BusyIndicator*>(w)->setActive(static_cast<ui::Animation&>(control).active());
        break;
    case ui::Kind::WebView: {
        auto& web = static_cast<ui::WebView&>(control);
        auto* q = static_cast<QWebEngineView*>(w);
        if (web.loads() != entry.webLoads) {
            entry.webLoads = web.loads();
            entry.webLoading = true;
            q->setUrl(web.url().empty() ? QUrl(QStringLiteral("about:blank"))
                                        : QUrl::fromUserInput(toQString(web.url())));
        } else if (!web.busy() && entry.webLoading) {
            // The model stopped the load.
            entry.webLoading = false;
            q->stop();
        }
        if (web.focusRequests() != entry.webFocus) {
            if (web.focusRequests() > 0)
                q->setFocus(Qt::OtherFocusReason);
            entry.webFocus = web.focusRequests();
        }
        break;
    }
    case ui::Kind::MediaSurface:
        // The media worker reads the native window from its own thread.
        static_cast<ui::MediaSurface&>(control).setWindowId(static_cast<std::int64_t>(w->winId()));
        break;
    case ui::Kind::Menu: {
        auto& menu = static_cast<ui::Menu&>(control);
        if (menu.style() == ui::Menu::Style::Main && entry.menuBar) {
            bool anyItem = false;
            for (ui::MenuItem* item : menu.items())
                anyItem = anyItem || item->visible();
            const bool show = menu.visible() && anyItem;
            if (entry.menuBar->isHidden() == show) {
                entry.menuBar->setVisible(show);
                if (entry.window)
                    entry.window->relayout();
            }
        }
        break;
    }
    default:
        break;
    }
}

void FrontEnd::applyStyle(ui::Control& control, Entry& entry) {
    QWidget* target = entry.widget;
    QWidget* host = entry.skinHost ? entry.skinHost.data() : target;
    if (!host)
        return;
    QString sheet;
    const int inherited = control.parent() ? effectiveSkin(control.parent()) : 0;
    if (control.skin() != 0 && control.skin() != inherited)
        sheet = skins_.sheet(control.skin());

    QString rules;
    if (control.kind() == ui::Kind::MediaSurface) {
        // Whatever the skin, a player draws on black.
        rules = QStringLiteral("background: #000000; border: none;");
    } else if (target) {
        if (control.font().colour != ui::Font{}.colour)
            rules += QStringLiteral("color: %1;").arg(toQString(control.font().colour.hex()));
        if (control.kind() == ui::Kind::Form) {
            const ui::Colour back = control.hasColour() ? control.colour() : ui::colours::black;
            rules += QStringLiteral("background: %1; border: none;").arg(toQString(back.hex()));
        } else if (control.hasColour() && paintsColour(control)) {
            rules += QStringLiteral("background: %1;").arg(toQString(control.colour().hex()));
            if (flatWhenColoured(control.kind()))
                rules += QStringLiteral(" border: none;");
        }
    }
    if (!rules.isEmpty() && target) {
        if (!sheet.isEmpty())
            sheet += u'\n';
        sheet += QStringLiteral("#%1 { %2 }").arg(target->objectName(), rules);
    }
    if (host->styleSheet() != sheet)
        host->setStyleSheet(sheet);
}

void FrontEnd::refreshTabs(ui::Control& pageControl) {
    auto it = entries_.find(&pageControl);
    if (it == entries_.end() || !it->second.widget)
        return;
    auto& pages = static_cast<ui::PageControl&>(pageControl);
    std::vector<PageControlWidget::Tab> tabs;
    for (int i = 0; i < pages.pageCount(); ++i)
        tabs.push_back({toQString(pages.page(i).caption()), pages.page(i).tabVisible()});
    static_cast<PageControlWidget*>(it->second.widget.data())->setTabs(tabs, pages.activeIndex());
}

void FrontEnd::restack(ui::Control& control, Entry& entry) {
    std::vector<const ui::Control*> order;
    order.reserve(control.children().size());
    for (const auto& child : control.children())
        order.push_back(child.get());
    if (order == entry.order)
        return;
    entry.order = order;

    // Menus list their items in the model's order.
    QWidget* menuHost = entry.menu ? static_cast<QWidget*>(entry.menu.data())
                                   : static_cast<QWidget*>(entry.menuBar.data());
    if (menuHost) {
        for (QAction* action : menuHost->actions())
            menuHost->removeAction(action);
        for (const ui::Control* child : order)
            if (auto it = entries_.find(child); it != entries_.end() && it->second.action)
                menuHost->addAction(it->second.action);
        return;
    }
    // Widgets stack in the children's order, back to front.
    for (const ui::Control* child : order)
        if (auto it = entries_.find(child); it != entries_.end() && it->second.widget)
            it->second.widget->raise();
    if (auto* pages = qobject_cast<PageControlWidget*>(entry.widget.data()))
        pages->tabBar()->raise();
    if (entry.window)
        entry.window->relayout();
}

int FrontEnd::effectiveSkin(const ui::Control* control) const {
    for (const ui::Control* c = control; c; c = c->parent())
        if (c->skin() != 0)
            return c->skin();
    return 0;
}

QWidget* FrontEnd::containerOf(const ui::Control* control) const {
    if (!control)
        return nullptr;
    auto it = entries_.find(control);
    return it == entries_.end() ? nullptr : it->second.container.data();
}

QWidget* FrontEnd::parentWindowOf(const ui::Control& control) const {
    const ui::Form* form = control.form();
    if (!form)
        return nullptr;
    auto it = entries_.find(form);
    return it == entries_.end() ? nullptr : it->second.window.data();
}

// --- making widgets ----------------------------------------------------------

void FrontEnd::makeWidget(ui::Control& control, Entry& entry) {
    QWidget* parent = containerOf(control.parent());
    const std::uint64_t serial = entry.serial;
    ui::Control* c = &control;
    QWidget* w = nullptr;

    switch (control.kind()) {
    case ui::Kind::Form: {
        auto* window = new FormWindow;
        windows_.emplace_back(window);
        window->setObjectName(objectNameFor(control) + QStringLiteral("Window"));
        entry.window = window;
        entry.skinHost = window;
        w = window->client();
        auto* form = static_cast<ui::Form*>(c);
        entry.systemMoveRequest = form->systemMoveRequested.subscribe([this, form, serial] {
            auto it = entries_.find(form);
            if (it == entries_.end() || it->second.serial != serial)
                return;
            // The window manager drags the window while the pressed button is held.
            if (FormWindow* w = it->second.window; w && w->windowHandle())
                w->windowHandle()->startSystemMove();
        });
        connect(window, &FormWindow::closeRequested, this, [this, form, serial] {
            if (alive(form, serial))
                deliver(*form, ui::Event::Close);
        });
        // Where the user puts the window is where the model's form is.
        connect(window, &FormWindow::movedByUser, this, [this, form, serial](QPoint at) {
            if (alive(form, serial))
                dispatch(
                    [form, at] { form->setBounds(at.x(), at.y(), form->width(), form->height()); });
        });
        connect(window, &FormWindow::resizedByUser, this, [this, form, serial](QSize size) {
            if (alive(form, serial))
                dispatch([form, size] {
                    form->setBounds(form->left(), form->top(), size.width(), size.height());
                });
        });
        break;
    }
    case ui::Kind::Menu: {
        auto* menu = static_cast<ui::Menu*>(c);
        if (menu->style() == ui::Menu::Style::Main) {
            FormWindow* window = static_cast<FormWindow*>(parentWindowOf(control));
            if (window) {
                auto* bar = new QMenuBar(window);
                // The bar belongs to the window on every desktop, not to a global menu.
                bar->setNativeMenuBar(false);
                bar->setObjectName(objectNameFor(control));
                bar->setProperty("zkind", QStringLiteral("MainMenu"));
                window->setMenuBar(bar);
                entry.menuBar = bar;
                entry.skinHost = bar;
            }
        } else {
            // A popup menu belongs to its control's place, so it takes that place's skin.
            auto* popup = new QMenu(parent ? parent : parentWindowOf(control));
            popup->setObjectName(objectNameFor(control));
            entry.menu = popup;
            entry.skinHost = popup;
            entry.popupRequest =
                menu->popupRequested.subscribe([this, serial](ui::Menu& m, int x, int y) {
                    if (alive(&m, serial))
                        showPopup(m, x, y);
                });
        }
        return;
    }
    case ui::Kind::MenuItem: {
        auto* item = static_cast<ui::MenuItem*>(c);
        Entry* owner = nullptr;
        if (auto it = entries_.find(control.parent()); it != entries_.end())
            owner = &it->second;
        if (!owner)
            return;
        QWidget* host = owner->menu ? static_cast<QWidget*>(owner->menu.data())
                                    : static_cast<QWidget*>(owner->menuBar.data());
        if (!host && owner->action) {
            // The parent item gets its sub-menu with its first sub-item.
            auto* sub = new QMenu(qobject_cast<QWidget*>(owner->action->parent()));
            sub->setObjectName(objectNameFor(*control.parent()) + QStringLiteral("Menu"));
            owner->action->setMenu(sub);
            owner->menu = sub;
            host = sub;
        }
        if (!host)
            return;
        auto* action = new QAction(host);
        action->setObjectName(objectNameFor(control));
        entry.action = action;
        connect(action, &QAction::triggered, this, [this, item, serial] {
            if (alive(item, serial))
                deliver(*item, ui::Event::Click);
        });
        return;
    }
    case ui::Kind::Timer:
        return;
    default:
        break;
    }

    if (!w) {
        if (!parent)
            return; // a control outside any window (e.g. under a menu) shows nothing
        switch (control.kind()) {
        case ui::Kind::Panel:
            w = new PanelWidget(parent);
            break;
        case ui::Kind::Label: {
            auto* label = new QLabel(parent);
            // Captions are plain text; a title with '<' in it is not markup.
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            w = label;
            break;
        }
        case ui::Kind::Image:
            w = new PictureWidget(parent);
            break;
        case ui::Kind::Button: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, c, serial] {
                if (!syncing_ && alive(c, serial))
                    deliver(*c, ui::Event::Click);
            });
            w = button;
            break;
        }
        case ui::Kind::Edit: {
            auto* edit = new QLineEdit(parent);
            edit->setFrame(true);
            connect(edit, &QLineEdit::textEdited, this, [this, c, serial](const QString& text) {
                if (syncing_ || !alive(c, serial))
                    return;
                auto* model = static_cast<ui::Edit*>(c);
                app_.dispatch([this, model, t = toStdString(text)] {
                    model->setText(t);
                    ui::EventArgs args;
                    app_.deliver(*model, ui::Event::Change, args);
                });
                markDirty(c, serial);
                sync();
            });
            w = edit;
            break;
        }
        case ui::Kind::Memo: {
            auto* memo = new QPlainTextEdit(parent);
            memo->setReadOnly(true);
            memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            memo->viewport()->setMouseTracking(true);
            watch(memo->viewport(), control, InputRole::Pointer);
            w = memo;
            break;
        }
        case ui::Kind::RadioButton: {
            auto* radio = new QRadioButton(parent);
            // The model unchecks the siblings; Qt's own grouping would disagree with it.
            radio->setAutoExclusive(false);
            connect(radio, &QRadioButton::clicked, this, [this, c, serial] {
                if (!syncing_ && alive(c, serial))
                    deliver(*c, ui::Event::Click);
            });
            w = radio;
            break;
        }
        case ui::Kind::TrackBar: {
            auto* slider = new QSlider(Qt::Horizontal, parent);
            connect(slider, &QSlider::valueChanged, this, [this, c, serial](int value) {
                if (syncing_ || !alive(c, serial))
                    return;
                auto* bar = static_cast<ui::TrackBar*>(c);
                app_.dispatch([this, bar, value] {
                    bar->setPosition(value);
                    ui::EventArgs args;
                    app_.deliver(*bar, ui::Event::Change, args);
                });
                markDirty(c, serial);
                sync();
            });
            w = slider;
            break;
        }
        case ui::Kind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            w = bar;
            break;
        }
        case ui::Kind::PageControl: {
            auto* pages = new PageControlWidget(parent);
            connect(pages, &PageControlWidget::tabChosen, this, [this, c, serial](int index) {
                if (syncing_ || !alive(c, serial))
                    return;
                ui::EventArgs args;
                args.index = index;
                deliver(*c, ui::Event::TabActive, args);
            });
            pages->tabBar()->setMouseTracking(true);
            watch(pages->tabBar(), control, InputRole::Pointer);
            w = pages;
            break;
        }
        case ui::Kind::TabSheet: {
            auto* sheet = new QFrame(parent);
            if (auto* pages = qobject_cast<PageControlWidget*>(parent))
                pages->addSheet(sheet);
            w = sheet;
            break;
        }
        case ui::Kind::CaptionPanel:
            w = new CaptionPanelWidget(parent);
            break;
        case ui::Kind::SideChannel: {
            auto* side = new SideChannelWidget(parent);
            connect(side, &SideChannelWidget::stripReached, this, [this, c, serial] {
                if (!syncing_ && alive(c, serial))
                    deliver(*c, ui::Event::Pop);
            });
            // Sliding back in is the bar's own behaviour once the pointer has gone.
            connect(side, &SideChannelWidget::pointerGone, this, [this, c, serial] {
                if (!syncing_ && alive(c, serial))
                    dispatch([c] { static_cast<ui::SideChannel*>(c)->push(); });
            });
            entry.container = side->body();
            w = side;
            break;
        }
        case ui::Kind::StringGrid: {
            auto* grid = new QTableWidget(parent);
            grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
            grid->setSelectionMode(QAbstractItemView::SingleSelection);
            grid->setSelectionBehavior(QAbstractItemView::SelectItems);
            grid->setAlternatingRowColors(true);
            grid->setWordWrap(false);
            grid->setCornerButtonEnabled(false);
            grid->verticalHeader()->hide();
            grid->verticalHeader()->setDefaultSectionSize(22);
            grid->horizontalHeader()->setHighlightSections(false);
            grid->horizontalHeader()->setSectionsClickable(false);
            connect(grid, &QTableWidget::currentCellChanged, this,
                    [this, c, serial](int row, int col, int, int) {
                        if (syncing_ || row < 0 || col < 0 || !alive(c, serial))
                            return;
                        auto* model = static_cast<ui::StringGrid*>(c);
                        ui::EventArgs args;
                        args.col = col;
                        args.row = row + (model->fixedRows() > 0 ? 1 : 0);
                        deliver(*c, ui::Event::SelectCell, args);
                    });
            grid->viewport()->setMouseTracking(true);
            watch(grid->viewport(), control, InputRole::Pointer);
            w = grid;
            break;
        }
        case ui::Kind::TreeView: {
            auto* tree = new QTreeWidget(parent);
            tree->setHeaderHidden(true);
            tree->setColumnCount(1);
            tree->setUniformRowHeights(true);
            tree->setIndentation(19);
            tree->setSelectionMode(QAbstractItemView::SingleSelection);
            tree->setExpandsOnDoubleClick(false);
            // No expand buttons: choosing an entry opens its branch and closes the others.
            tree->setRootIsDecorated(false);
            tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
            connect(tree, &QTreeWidget::currentItemChanged, this,
                    [this, c, serial, tree](QTreeWidgetItem* current, QTreeWidgetItem*) {
                        if (current) {
                            QTreeWidgetItem* top = current;
                            while (top->parent())
                                top = top->parent();
                            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                                tree->topLevelItem(i)->setExpanded(tree->topLevelItem(i) == top);
                        }
                        if (syncing_ || !current || !alive(c, serial))
                            return;
                        const int index = current->data(0, Qt::UserRole).toInt();
                        dispatch([c, index] {
                            auto* model = static_cast<ui::TreeView*>(c);
                            if (index < model->count())
                                model->setSelected(index);
                        });
                    });
            tree->viewport()->setMouseTracking(true);
            watch(tree->viewport(), control, InputRole::Pointer);
            w = tree;
            break;
        }
        case ui::Kind::Animation:
            w = new BusyIndicator(parent);
            break;
        case ui::Kind::WebView: {
            auto* view = new QWebEngineView(parent);
            connect(view, &QWebEngineView::urlChanged, this, [this, c, serial](const QUrl& url) {
                if (syncing_ || !alive(c, serial))
                    return;
                auto* web = static_cast<ui::WebView*>(c);
                if (samePage(web->url(), url))
                    return;
                dispatch([web, u = toStdString(url.toString())] { web->reportNavigated(u); });
            });
            connect(view, &QWebEngineView::loadStarted, this, [this, c, serial] {
                if (syncing_ || !alive(c, serial))
                    return;
                entries_[c].webLoading = true;
                dispatch([c] { static_cast<ui::WebView*>(c)->reportBusy(true); });
            });
            connect(view, &QWebEngineView::loadFinished, this, [this, c, serial](bool) {
                if (syncing_ || !alive(c, serial))
                    return;
                entries_[c].webLoading = false;
                dispatch([c] { static_cast<ui::WebView*>(c)->reportBusy(false); });
            });
            connect(view->page(), &QWebEnginePage::newWindowRequested, this,
                    [this, c, serial, view](QWebEngineNewWindowRequest& request) {
                        if (!alive(c, serial))
                            return;
                        const QUrl url = request.requestedUrl();
                        bool allowed = false;
                        dispatch([c, &allowed, u = toStdString(url.toString())] {
                            allowed = static_cast<ui::WebView*>(c)->requestNewWindow(u);
                        });
                        // The view has no windows of its own: an allowed page opens in place.
                        if (allowed && alive(c, serial))
                            view->setUrl(url);
                    });
            w = view;
            break;
        }
        case ui::Kind::MediaSurface: {
            auto* surface = new QWidget(parent);
            surface->setAttribute(Qt::WA_NativeWindow);
            surface->setAttribute(Qt::WA_DontCreateNativeAncestors);
            surface->setAttribute(Qt::WA_StyledBackground);
            w = surface;
            break;
        }
        default:
            return;
        }
    }

    // Every control's widget: named for its style rule, marked with its kind for the
    // skins' selectors, and watched for the user's input.
    w->setObjectName(objectNameFor(control));
    w->setProperty("zkind", toQString(ui::kindName(control.kind())));
    w->setMouseTracking(true);
    entry.widget = w;
    if (!entry.container)
        entry.container = w;
    const bool split = control.kind() == ui::Kind::StringGrid ||
                       control.kind() == ui::Kind::TreeView || control.kind() == ui::Kind::Memo;
    watch(w, control, split ? InputRole::Keys : InputRole::Whole);
    entry.watched.push_back(w);
}

// --- forgetting controls -------------------------------------------------------

void FrontEnd::forget(ui::Control& control) {
    auto it = entries_.find(&control);
    if (it == entries_.end())
        return;
    Entry entry = std::move(it->second);
    entries_.erase(it);
    for (const auto& object : entry.watched) {
        if (!object)
            continue;
        watched_.erase(object.data());
        object->removeEventFilter(this);
    }
    // The widget may be the one whose event is being handled right now: it goes when
    // Qt is back in its loop, and until then it is hidden and says nothing.
    auto retire = [](QObject* object) {
        if (!object)
            return;
        object->disconnect();
        object->blockSignals(true);
        if (auto* w = qobject_cast<QWidget*>(object))
            w->hide();
        object->deleteLater();
    };
    if (entry.action)
        retire(entry.action);
    if (entry.menu)
        retire(entry.menu);
    if (entry.menuBar)
        retire(entry.menuBar);
    if (entry.window) {
        retire(entry.window);
    } else if (entry.widget) {
        retire(entry.widget);
    }
}

void FrontEnd::watch(QObject* object, ui::Control& control, InputRole role) {
    watched_[object] = Watched{&control, role};
    object->installEventFilter(this);
    if (auto it = entries_.find(&control); it != entries_.end() && object != it->second.widget)
        it->second.watched.push_back(object);
}

bool FrontEnd::alive(const ui::Control* control, std::uint64_t serial) const {
    auto it = entries_.find(control);
    return it != entries_.end() && it->second.serial == serial;
}

void FrontEnd::markDirty(const ui::Control* control, std::uint64_t serial) {
    auto it = entries_.find(control);
    if (it != entries_.end() && it->second.serial == serial)
        it->second.dirty = true;
}

// --- the user's input -----------------------------------------------------------

void FrontEnd::dispatch(const std::function<void()>& fn) {
    app_.dispatch(fn);
    sync();
}

ui::EventArgs FrontEnd::deliver(ui::Control& control, ui::Event event, ui::EventArgs args) {
    auto it = entries_.find(&control);
    const std::uint64_t serial = it == entries_.end() ? 0 : it->second.serial;
    app_.dispatch([&] { app_.deliver(control, event, args); });
    // The widget may have gone its own way (a radio button Qt unchecked, a tab the
    // handler refused): the next sync puts it back where the model is.
    markDirty(&control, serial);
    sync();
    return args;
}

void FrontEnd::activateByPress(ui::Control& control) {
    ui::Form* form = control.form();
    if (!form)
        return;
    auto it = entries_.find(form);
    if (it == entries_.end() || !it->second.window || it->second.window->isActiveWindow())
        return;
    deliver(*form, ui::Event::Activate);
}

void FrontEnd::showPopup(ui::Menu& menu, int x, int y) {
    // The handler asking for the menu may have changed its items just before.
    sync();
    auto it = entries_.find(&menu);
    if (it != entries_.end() && it->second.menu)
        it->second.menu->popup(QPoint(x, y));
}

void FrontEnd::selectTreeNodeAt(ui::Control& tree, QWidget* viewport, QPoint pos) {
    auto it = entries_.find(&tree);
    if (it == entries_.end())
        return;
    auto* q = qobject_cast<QTreeWidget*>(it->second.widget.data());
    if (!q || viewport != q->viewport())
        return;
    QTreeWidgetItem* item = q->itemAt(pos);
    if (!item)
        return;
    const int index = item->data(0, Qt::UserRole).toInt();
    // The model knows the node before the handlers of the press run.
    dispatch([&tree, index] {
        auto& model = static_cast<ui::TreeView&>(tree);
        if (index < model.count())
            model.setSelected(index);
    });
}

bool FrontEnd::eventFilter(QObject* watched, QEvent* event) {
    auto found = watched_.find(watched);
    if (found == watched_.end() || syncing_)
        return QObject::eventFilter(watched, event);
    ui::Control* control = found->second.control;
    const InputRole role = found->second.role;
    auto entryIt = entries_.find(control);
    if (entryIt == entries_.end())
        return QObject::eventFilter(watched, event);
    const std::uint64_t serial = entryIt->second.serial;
    QWidget* widget = entryIt->second.widget;
    auto* source = qobject_cast<QWidget*>(watched);
    const bool pointer = role != InputRole::Keys;
    const bool owns = role == InputRole::Whole && ownsPointer(control->kind());
    // Positions are the control's, also when a viewport inside it saw the event.
    auto local = [&](const QPointF& at) {
        const QPoint p = at.toPoint();
        return source && widget && source != widget && widget->isAncestorOf(source)
                   ? source->mapTo(widget, p)
                   : p;
    };
    auto mouseArgs = [&](QMouseEvent* me) {
        ui::EventArgs args;
        const QPoint p = local(me->position());
        args.button = toMouseButton(me->button());
        args.x = p.x();
        args.y = p.y();
        return args;
    };

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (!pointer)
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        activateByPress(*control);
        if (control->kind() == ui::Kind::TreeView && me->button() == Qt::LeftButton &&
            alive(control, serial))
            selectTreeNodeAt(*control, source, me->position().toPoint());
        if (alive(control, serial))
            deliver(*control, ui::Event::MouseDown, mouseArgs(me));
        return owns;
    }
    case QEvent::MouseButtonRelease: {
        if (!pointer)
            break;
        auto* me = static_cast<QMouseEvent*>(event);
        const ui::EventArgs args = mouseArgs(me);
        if (me->button() == Qt::LeftButton && clicksOnRelease(control->kind()) && widget &&
            widget->rect().contains(args.x, args.y))
            deliver(*control, ui::Event::Click);
        if (alive(control, serial))
            deliver(*control, ui::Event::MouseUp, args);
        return owns;
    }
    case QEvent::MouseButtonDblClick: {
        if (!pointer)
            break;
        // Qt's double click stands for the second press: a left one is DblClick and
        // then a press, any other button a press only, as a toolkit reports them.
        auto* me = static_cast<QMouseEvent*>(event);
        activateByPress(*control);
        if (control->kind() == ui::Kind::TreeView && me->button() == Qt::LeftButton &&
            alive(control, serial))
            selectTreeNodeAt(*control, source, me->position().toPoint());
        if (alive(control, serial) && me->button() == Qt::LeftButton)
            deliver(*control, ui::Event::DblClick, mouseArgs(me));
        if (alive(control, serial))
            deliver(*control, ui::Event::MouseDown, mouseArgs(me));
        return owns;
    }
    case QEvent::MouseMove: {
        if (!pointer)
            break;
        deliver(*control, ui::Event::MouseMove, mouseArgs(static_cast<QMouseEvent*>(event)));
        return owns;
    }
    case QEvent::Enter:
        if (role != InputRole::Pointer) {
            // A form learns where on the screen the mouse came in.
            ui::EventArgs args;
            if (control->kind() == ui::Kind::Form) {
                const QPoint at = QCursor::pos();
                args.x = at.x();
                args.y = at.y();
            }
            deliver(*control, ui::Event::MouseEnter, args);
        }
        break;
    case QEvent::Leave:
        if (role != InputRole::Pointer)
            deliver(*control, ui::Event::MouseLeave);
        break;
    case QEvent::KeyPress: {
        if (role == InputRole::Pointer)
            break;
        auto* ke = static_cast<QKeyEvent*>(event);
        // The model's key presses are characters; Tab moves the focus and is no character.
        if (ke->text().isEmpty() || ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
            break;
        ui::EventArgs args;
        args.key = toStdString(ke->text());
        const std::string typed = args.key;
        args = deliver(*control, ui::Event::KeyPress, args);
        if (!alive(control, serial))
            return true;
        if (args.key.empty())
            return true; // the handler swallowed the key
        if (args.key != typed) {
            // The handler replaced the key: the edit takes the replacement instead.
            auto* edit = qobject_cast<QLineEdit*>(widget);
            if (edit && !edit->isReadOnly()) {
                {
                    const QSignalBlocker quiet(edit);
                    edit->insert(toQString(args.key));
                }
                auto* model = static_cast<ui::Edit*>(control);
                dispatch([this, model, t = toStdString(edit->text())] {
                    model->setText(t);
                    ui::EventArgs change;
                    app_.deliver(*model, ui::Event::Change, change);
                });
            }
            return true;
        }
        break;
    }
    case QEvent::WinIdChange:
        // Qt may make the native window again (e.g. when the window's surface changes);
        // the player must draw into the new one.
        if (control->kind() == ui::Kind::MediaSurface && widget)
            static_cast<ui::MediaSurface*>(control)->setWindowId(
                static_cast<std::int64_t>(widget->winId()));
        break;
    case QEvent::FocusOut: {
        if (role == InputRole::Pointer)
            break;
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Opening a menu or switching to another program leaves the focus where it was.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            deliver(*control, ui::Event::Exit);
        break;
    }
    case QEvent::ContextMenu: {
        // The press before it may have opened a menu already (the application's
        // press hook does in some window modes): that menu is the answer.
        if (QApplication::activePopupWidget())
            return true;
        ui::Menu* menu = control->popupMenu();
        if (!menu)
            break; // the parent's menu, or the widget's own, as a toolkit does
        const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
        dispatch([menu, at] { menu->popup(at.x(), at.y()); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

QWidget* FrontEnd::widgetOf(const ui::Control& control) const {
    auto it = entries_.find(&control);
    return it == entries_.end() ? nullptr : it->second.widget.data();
}

FormWindow* FrontEnd::windowOf(const ui::Form& form) const {
    auto it = entries_.find(&form);
    return it == entries_.end() ? nullptr : it->second.window.data();
}

QAction* FrontEnd::actionOf(const ui::MenuItem& item) const {
    auto it = entries_.find(&item);
    return it == entries_.end() ? nullptr : it->second.action.data();
}

QMenu* FrontEnd::menuOf(const ui::Control& control) const {
    auto it = entries_.find(&control);
    return it == entries_.end() ? nullptr : it->second.menu.data();
}

} // namespace qtfront
