#include "platform/qt/contents_pane.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "platform/qt/dialog_renderer.h"
#include "platform/qt/pane_frame.h"
#include "platform/qt/side_pages.h"
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

    std::function<bool(const QString&)> typed;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Typing a title starts the filter rather than the tree's own
        // search for a row by its first letters.
        const QString text = event->text();
        const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        const bool printable =
            !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
        if (typed && plain && printable && typed(text)) return;
        QTreeView::keyPressEvent(event);
    }
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

void ContentsModel::reload() {
    beginResetModel();
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

QtContentsPane::~QtContentsPane() = default;

void QtContentsPane::setContents(const ContentsSource* source) {
    resetting_ = true;
    filtered_ = false;
    hidden_ = kNoTreeItem;
    model_.setSource(source);
    resetting_ = false;
}

void QtContentsPane::setTypingHandler(std::function<bool(const QString&)> handler) {
    static_cast<ContentsView*>(tree_)->typed = std::move(handler);
}

void QtContentsPane::reload(bool filtered, TreeItem selected) {
    resetting_ = true;
    filtered_ = filtered;
    hidden_ = kNoTreeItem;
    model_.reload();
    if (filtered) {
        tree_->expandAll();
    } else if (const QModelIndex first = model_.index(0, 0, {}); first.isValid()) {
        tree_->expand(first);
    }
    // The rows are others now: the view starts at the top, or at the selection.
    tree_->scrollToTop();
    if (const QModelIndex target = model_.indexOf(selected); target.isValid()) {
        for (QModelIndex at = target.parent(); at.isValid(); at = at.parent()) tree_->expand(at);
        tree_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        tree_->scrollTo(target);
    } else if (model_.dataOf(selected) != nullptr) {
        hidden_ = selected;
    }
    resetting_ = false;
}

void QtContentsPane::selectItem(TreeItem item) {
    if (item != kNoTreeItem && item == hidden_) return;
    const QModelIndex target = model_.indexOf(item);
    if (item != kNoTreeItem && !target.isValid()) {
        // A topic the filter hides: selected without a row.
        void* data = model_.dataOf(item);
        if (!filtered_ || data == nullptr) return;
        hidden_ = item;
        resetting_ = true;
        tree_->selectionModel()->clear();
        resetting_ = false;
        guard_.run([&] { events_.onSelectionChanged(item, data); });
        return;
    }
    if (target == tree_->currentIndex() && hidden_ == kNoTreeItem) return;
    hidden_ = kNoTreeItem;
    // currentChanged reports the change before this returns.
    tree_->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
}

TreeItem QtContentsPane::selectedItem() const {
    return hidden_ != kNoTreeItem ? hidden_ : ContentsModel::itemOf(tree_->currentIndex());
}

QtSidePages& QtContentsPane::addPages(SidePagesEvents& events) {
    if (!pages_) pages_ = std::make_unique<QtSidePages>(*this, static_cast<PaneFrame&>(*widget_), events, guard_);
    return *pages_;
}

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
    // A filtered tree keeps every branch open.
    for (QModelIndex at = previous; !filtered_ && at.isValid() && !isAncestorOrSelf(at, current); at = at.parent()) {
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
