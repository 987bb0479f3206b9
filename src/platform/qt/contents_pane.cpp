#include "platform/qt/contents_pane.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/qt/dialog_renderer.h"
#include "platform/qt/pane_frame.h"
#include "platform/qt/text_codec.h"
#include "resources/dialog_template.h"

namespace vtome::platform::qt {

namespace {

constexpr int kHandleRole = Qt::UserRole;

bool isAncestorOrSelf(const QTreeWidgetItem* candidate, const QTreeWidgetItem* item) {
    for (const QTreeWidgetItem* at = item; at != nullptr; at = at->parent()) {
        if (at == candidate) return true;
    }
    return false;
}

}  // namespace

QtContentsPane::QtContentsPane(QWidget* parent, ContentsTreeEvents& events, CallGuard& guard)
    : WidgetPane(new PaneFrame(parent, fromBytes(resources::contentsPane().caption), true)),
      events_(events),
      guard_(guard),
      tree_(new QTreeWidget(static_cast<PaneFrame*>(widget_)->client())) {
    auto* layout = new QVBoxLayout(static_cast<PaneFrame*>(widget_)->client());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);

    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setUniformRowHeights(true);
    tree_->setFont(dialogMetrics(resources::contentsPane().fontPointSize).font);
    // The selection stays visible while the focus is elsewhere.
    QPalette palette = tree_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    tree_->setPalette(palette);

    QObject::connect(
        tree_, &QTreeWidget::currentItemChanged, &connections_,
        [this](QTreeWidgetItem* current, QTreeWidgetItem* previous) { onCurrentChanged(current, previous); });
    QObject::connect(tree_, &QTreeWidget::itemCollapsed, &connections_,
                     [this](QTreeWidgetItem* item) { onCollapsed(item); });
}

QTreeWidgetItem* QtContentsPane::itemOf(TreeItem item) const {
    const auto found = entries_.find(item);
    return found != entries_.end() ? found->second.item : nullptr;
}

TreeItem QtContentsPane::handleOf(const QTreeWidgetItem* item) const {
    return item != nullptr ? item->data(0, kHandleRole).toUInt() : kNoTreeItem;
}

void QtContentsPane::clear() {
    clearing_ = true;
    tree_->clear();
    entries_.clear();
    clearing_ = false;
}

TreeItem QtContentsPane::insertItem(TreeItem parent, std::string_view title, void* data) {
    QTreeWidgetItem* parentItem = itemOf(parent);
    if (parent != kNoTreeItem && parentItem == nullptr) return kNoTreeItem;
    // Handles are never reused, so a handle kept past clear() names nothing.
    const TreeItem handle = ++lastHandle_;
    auto* item = parentItem != nullptr ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree_);
    item->setText(0, fromBytes(title));
    item->setData(0, kHandleRole, handle);
    entries_.emplace(handle, Entry{item, data});
    return handle;
}

void QtContentsPane::selectItem(TreeItem item) {
    QTreeWidgetItem* target = itemOf(item);
    if (item != kNoTreeItem && target == nullptr) return;
    if (target == tree_->currentItem()) return;
    // currentItemChanged reports the change before this returns.
    tree_->setCurrentItem(target);
}

TreeItem QtContentsPane::selectedItem() const { return handleOf(tree_->currentItem()); }

void QtContentsPane::expandItem(TreeItem item) {
    if (QTreeWidgetItem* target = itemOf(item)) target->setExpanded(true);
}

bool QtContentsPane::isExpanded(TreeItem item) const {
    const QTreeWidgetItem* target = itemOf(item);
    return target != nullptr && target->isExpanded();
}

void QtContentsPane::onCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (clearing_) return;
    if (current != nullptr) current->setSelected(true);
    // Single expand: the new item opens, the branch that held the old
    // selection closes up to the first item the two share.
    for (QTreeWidgetItem* at = previous; at != nullptr && !isAncestorOrSelf(at, current); at = at->parent()) {
        at->setExpanded(false);
    }
    if (current != nullptr) {
        current->setExpanded(true);
        tree_->scrollToItem(current);
    }
    const TreeItem handle = handleOf(current);
    const auto found = entries_.find(handle);
    void* data = found != entries_.end() ? found->second.data : nullptr;
    guard_.run([&] { events_.onSelectionChanged(handle, data); });
}

void QtContentsPane::onCollapsed(QTreeWidgetItem* item) {
    // Closing the branch that holds the selection moves the selection to
    // the closed item, so that what is shown stays visible in the tree.
    QTreeWidgetItem* current = tree_->currentItem();
    if (clearing_ || current == nullptr || current == item || !isAncestorOrSelf(item, current)) return;
    tree_->setCurrentItem(item);
}

}  // namespace vtome::platform::qt
