#include "platform/qt/contents_pane.h"

#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>

#include "platform/qt/dialog_renderer.h"
#include "platform/qt/pane_frame.h"
#include "platform/qt/text_codec.h"
#include "resources/dialog_template.h"

namespace vtome::platform::qt {

namespace {

bool isAncestorOrSelf(const QModelIndex& candidate, const QModelIndex& index) {
    for (QModelIndex at = index; at.isValid(); at = at.parent()) {
        if (at == candidate) return true;
    }
    return false;
}

// A tree view whose mouse selects through the pane. Qt's own handling would
// make the pressed row current and go on with the press afterwards; when
// making it current closes a branch above it, the rows move and the rest of
// the press lands on whatever row is under the pointer by then.
class ContentsView final : public QTreeView {
public:
    ContentsView(QWidget* parent, std::function<void(const QModelIndex&)> choose)
        : QTreeView(parent), choose_(std::move(choose)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint();
        const QModelIndex index = indexAt(at);
        if (event->button() != Qt::LeftButton || !index.isValid()) {
            QTreeView::mousePressEvent(event);
            return;
        }
        setFocus(Qt::MouseFocusReason);
        if (at.x() < visualRect(index).left()) {
            // Left of the title, on the row's branch mark: open or close it.
            if (model()->hasChildren(index)) setExpanded(index, !isExpanded(index));
            return;
        }
        choose_(index);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        // No selecting by dragging: the item pressed is the item chosen.
        if (event->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) QTreeView::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { mousePressEvent(event); }

private:
    std::function<void(const QModelIndex&)> choose_;
};

}  // namespace

// --- the model

void ContentsModel::setSource(const ContentsSource* source) {
    beginResetModel();
    source_ = source;
    endResetModel();
}

void* ContentsModel::dataOf(TreeItem item) const {
    return source_ != nullptr && item != kNoTreeItem ? source_->data(item) : nullptr;
}

QModelIndex ContentsModel::indexOf(TreeItem item) const {
    if (source_ == nullptr || item == kNoTreeItem) return {};
    const TreeItem parent = source_->parentOf(item);
    const std::uint32_t row = source_->rowOf(item);
    if (row >= source_->childCount(parent) || source_->child(parent, row) != item) return {};
    return createIndex(static_cast<int>(row), 0, static_cast<quintptr>(item));
}

QModelIndex ContentsModel::index(int row, int column, const QModelIndex& parent) const {
    if (source_ == nullptr || column != 0 || row < 0) return {};
    const TreeItem item = source_->child(itemOf(parent), static_cast<std::uint32_t>(row));
    return item == kNoTreeItem ? QModelIndex() : createIndex(row, 0, static_cast<quintptr>(item));
}

QModelIndex ContentsModel::parent(const QModelIndex& child) const {
    if (source_ == nullptr || !child.isValid()) return {};
    const TreeItem parent = source_->parentOf(itemOf(child));
    if (parent == kNoTreeItem) return {};
    return createIndex(static_cast<int>(source_->rowOf(parent)), 0, static_cast<quintptr>(parent));
}

int ContentsModel::rowCount(const QModelIndex& parent) const {
    if (source_ == nullptr || parent.column() > 0) return 0;
    return static_cast<int>(source_->childCount(itemOf(parent)));
}

int ContentsModel::columnCount(const QModelIndex&) const { return 1; }

QVariant ContentsModel::data(const QModelIndex& index, int role) const {
    if (source_ == nullptr || !index.isValid() || role != Qt::DisplayRole) return {};
    return fromBytes(source_->title(itemOf(index)));
}

Qt::ItemFlags ContentsModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

// --- the pane

QtContentsPane::QtContentsPane(QWidget* parent, ContentsTreeEvents& events, CallGuard& guard)
    : WidgetPane(new PaneFrame(parent, fromBytes(resources::contentsPane().caption), true)),
      events_(events),
      guard_(guard) {
    QWidget* client = static_cast<PaneFrame*>(widget_)->client();
    tree_ = new ContentsView(client, [this](const QModelIndex& index) { selectItem(ContentsModel::itemOf(index)); });
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);

    tree_->setModel(&model_);
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

    QObject::connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, &connections_,
                     [this](const QModelIndex& current, const QModelIndex& previous) {
                         onCurrentChanged(current, previous);
                     });
    QObject::connect(tree_, &QTreeView::collapsed, &connections_,
                     [this](const QModelIndex& index) { onCollapsed(index); });
}

void QtContentsPane::setContents(const ContentsSource* source) {
    resetting_ = true;
    model_.setSource(source);
    resetting_ = false;
}

void QtContentsPane::selectItem(TreeItem item) {
    const QModelIndex target = model_.indexOf(item);
    if (item != kNoTreeItem && !target.isValid()) return;
    if (target == tree_->currentIndex()) return;
    // currentChanged reports the change before this returns.
    tree_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
}

TreeItem QtContentsPane::selectedItem() const { return ContentsModel::itemOf(tree_->currentIndex()); }

void QtContentsPane::expandItem(TreeItem item) {
    const QModelIndex target = model_.indexOf(item);
    if (target.isValid()) tree_->expand(target);
}

bool QtContentsPane::isExpanded(TreeItem item) const {
    const QModelIndex target = model_.indexOf(item);
    return target.isValid() && tree_->isExpanded(target);
}

void QtContentsPane::onCurrentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (resetting_) return;
    // Single expand: the branch that held the old selection closes up to
    // the first item the two share; the new item opens, down from the top.
    for (QModelIndex at = previous; at.isValid() && !isAncestorOrSelf(at, current); at = at.parent()) {
        tree_->collapse(at);
    }
    for (QModelIndex at = current; at.isValid(); at = at.parent()) tree_->expand(at);
    if (current.isValid()) tree_->scrollTo(current);
    const TreeItem item = ContentsModel::itemOf(current);
    void* data = model_.dataOf(item);
    guard_.run([&] { events_.onSelectionChanged(item, data); });
}

void QtContentsPane::onCollapsed(const QModelIndex& index) {
    // Closing the branch that holds the selection moves the selection to
    // the closed item, so that what is shown stays visible in the tree.
    const QModelIndex current = tree_->currentIndex();
    if (resetting_ || !current.isValid() || current == index || !isAncestorOrSelf(index, current)) return;
    tree_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

}  // namespace vtome::platform::qt
