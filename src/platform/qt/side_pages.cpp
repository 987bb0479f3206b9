#include "platform/qt/side_pages.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "platform/qt/contents_pane.h"
#include "platform/qt/dialog_renderer.h"
#include "platform/qt/key_mapping.h"
#include "platform/qt/pane_frame.h"
#include "platform/qt/text_codec.h"
#include "resources/dialog_template.h"

namespace vtome::platform::qt {

namespace {

// The filter field: its own keys (Escape, Enter, Up, Down) go to the
// application; the rest edit the text.
class FilterEdit final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void(std::uint32_t)> key;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        std::uint32_t code = 0;
        switch (event->key()) {
            case Qt::Key_Escape: code = vk::kEscape; break;
            case Qt::Key_Return:
            case Qt::Key_Enter: code = vk::kReturn; break;
            case Qt::Key_Up: code = vk::kUp; break;
            case Qt::Key_Down: code = vk::kDown; break;
            default: break;
        }
        if (code != 0 && key && (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            key(code);
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// The results list: a click or Enter chooses a row; Up and Down move
// through the rows without showing them.
class ResultsView final : public QTreeView {
public:
    using QTreeView::QTreeView;
    std::function<void(int)> choose;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && choose) {
            if (currentIndex().isValid()) choose(currentIndex().row());
            return;
        }
        QTreeView::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() != Qt::LeftButton || !index.isValid() || !(index.flags() & Qt::ItemIsSelectable)) {
            QTreeView::mousePressEvent(event);
            return;
        }
        setFocus(Qt::MouseFocusReason);
        setCurrentIndex(index);
        if (choose) choose(index.row());
    }
    // The first click already showed the topic; a second one changes nothing.
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(event);
    }
};

// A selection that stays visible while the focus is elsewhere.
void keepSelectionVisible(QWidget& view) {
    QPalette palette = view.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    view.setPalette(palette);
}

}  // namespace

// --- the model

void ResultsModel::setRows(std::span<const ResultRow> rows) {
    beginResetModel();
    rows_.assign(rows.begin(), rows.end());
    message_.clear();
    maxHits_ = 0;
    for (const ResultRow& row : rows_) maxHits_ = std::max(maxHits_, row.hits);
    endResetModel();
}

void ResultsModel::setMessage(const QString& message) {
    beginResetModel();
    rows_.clear();
    message_ = message;
    maxHits_ = 0;
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return showsMessage() ? 1 : static_cast<int>(rows_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (showsMessage()) {
        if (index.column() != 0) return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return message_;
        return {};
    }
    if (index.row() >= static_cast<int>(rows_.size())) return {};
    const ResultRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0 ? fromBytes(row.title) : QString::number(row.hits);
        case Qt::ToolTipRole:
            return QApplication::translate("ResultsList", "%1: %n hit(s)", nullptr, static_cast<int>(row.hits))
                .arg(fromBytes(row.title));
        case Qt::TextAlignmentRole:
            return index.column() == 1 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        default: return {};
    }
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return showsMessage() ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// --- the pages

QtSidePages::QtSidePages(QtContentsPane& contents, PaneFrame& frame, SidePagesEvents& events, CallGuard& guard)
    : contents_(contents), events_(events), guard_(guard) {
    QWidget* client = frame.client();
    auto* layout = static_cast<QVBoxLayout*>(client->layout());
    QTreeView* tree = contents.tree();
    layout->removeWidget(tree);
    // The tabs name the pages, so the caption would only say it twice.
    frame.setCaptionVisible(false);
    const QFont font = dialogMetrics(resources::contentsPane().fontPointSize).font;

    tabs_ = new QTabBar(client);
    tabs_->addTab(QApplication::translate("SidePages", "Contents"));
    tabs_->addTab(QApplication::translate("SidePages", "Results"));
    tabs_->setTabToolTip(0, QApplication::translate("SidePages", "The topic tree; Ctrl+L filters it by title"));
    tabs_->setTabToolTip(1, QApplication::translate("SidePages", "Every topic that contains the search text (Ctrl+Shift+F)"));
    tabs_->setDocumentMode(true);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    // The keyboard rests on the main window: the tabs never take it.
    tabs_->setFocusPolicy(Qt::NoFocus);
    QFont tabFont = tabs_->font();
    tabFont.setPointSize(8);
    tabs_->setFont(tabFont);

    stack_ = new QStackedWidget(client);
    auto* contentsPage = new QWidget(stack_);
    auto* contentsLayout = new QVBoxLayout(contentsPage);
    contentsLayout->setContentsMargins(0, 0, 0, 0);
    contentsLayout->setSpacing(1);
    auto* filter = new FilterEdit(contentsPage);
    filter_ = filter;
    filter_->setPlaceholderText(QApplication::translate("SidePages", "Filter titles (Ctrl+L)"));
    filter_->setClearButtonEnabled(true);
    filter_->setFont(font);
    filter_->setFocusPolicy(Qt::ClickFocus);
    markFocusedControlKind(*filter_, FocusedControlKind::TextField);
    contentsLayout->addWidget(filter_);
    contentsLayout->addWidget(tree, 1);
    stack_->addWidget(contentsPage);

    auto* results = new ResultsView(stack_);
    results_ = results;
    results_->setModel(&model_);
    results_->setHeaderHidden(true);
    results_->setRootIsDecorated(false);
    results_->setUniformRowHeights(true);
    results_->setAllColumnsShowFocus(true);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    results_->setSelectionBehavior(QAbstractItemView::SelectRows);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    results_->setFocusPolicy(Qt::ClickFocus);
    results_->setFont(font);
    results_->header()->setStretchLastSection(false);
    results_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    results_->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    keepSelectionVisible(*results_);
    markFocusedControlKind(*results_, FocusedControlKind::List);
    stack_->addWidget(results_);

    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);

    QObject::connect(tabs_, &QTabBar::currentChanged, &connections_, [this](int index) {
        stack_->setCurrentIndex(index);
        if (showing_) return;
        const SidePage page = index == 1 ? SidePage::Results : SidePage::Contents;
        guard_.run([&] { events_.onPageChosen(page); });
    });
    QObject::connect(filter_, &QLineEdit::textEdited, &connections_,
                     [this] { guard_.run([&] { events_.onFilterChanged(); }); });
    filter->key = [this](std::uint32_t key) { guard_.run([&] { events_.onFilterKey(key); }); };
    results->choose = [this](int row) { chooseResult(row); };
    contents_.setTypingHandler([this](const QString& text) {
        filter_->setFocus(Qt::OtherFocusReason);
        filter_->insert(text);
        guard_.run([&] { events_.onFilterChanged(); });
        return true;
    });
    fitCountColumn();
}

QtSidePages::~QtSidePages() {
    // The widgets outlive these pages by a little: nothing may reach them.
    contents_.setTypingHandler(nullptr);
    static_cast<FilterEdit*>(filter_)->key = nullptr;
    static_cast<ResultsView*>(results_)->choose = nullptr;
}

void QtSidePages::chooseResult(int row) {
    if (row < 0 || model_.showsMessage()) return;
    guard_.run([&] { events_.onResultChosen(static_cast<std::uint32_t>(row)); });
}

void QtSidePages::showPage(SidePage page) {
    showing_ = true;
    tabs_->setCurrentIndex(page == SidePage::Results ? 1 : 0);
    showing_ = false;
}

SidePage QtSidePages::currentPage() const { return tabs_->currentIndex() == 1 ? SidePage::Results : SidePage::Contents; }

void QtSidePages::setResults(std::span<const ResultRow> rows) {
    model_.setRows(rows);
    results_->setFirstColumnSpanned(0, {}, false);
    fitCountColumn();
}

void QtSidePages::setResultsMessage(std::string_view text) {
    model_.setMessage(fromBytes(text));
    // The message reads across the whole width.
    results_->setFirstColumnSpanned(0, {}, true);
    fitCountColumn();
}

void QtSidePages::fitCountColumn() {
    const QFontMetrics metrics(results_->font());
    const int digits = model_.showsMessage() || model_.rowCount({}) == 0
                           ? 0
                           : metrics.horizontalAdvance(QString::number(model_.maxHits()));
    results_->header()->resizeSection(1, digits == 0 ? 0 : digits + 2 * metrics.averageCharWidth());
}

void QtSidePages::selectResult(std::optional<std::uint32_t> row) {
    if (!row || model_.showsMessage() || *row >= static_cast<std::uint32_t>(model_.rowCount({}))) {
        results_->selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_.index(static_cast<int>(*row), 0);
    results_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    results_->scrollTo(index);
}

std::optional<std::uint32_t> QtSidePages::selectedResult() const {
    const QModelIndex current = results_->currentIndex();
    if (!current.isValid() || model_.showsMessage() || !results_->selectionModel()->isSelected(current)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(current.row());
}

void QtSidePages::focusResults() {
    showPage(SidePage::Results);
    results_->setFocus(Qt::OtherFocusReason);
}

bool QtSidePages::resultsHaveFocus() const { return results_->hasFocus(); }

void QtSidePages::setFilterText(std::string_view text) { filter_->setText(fromBytes(text)); }

std::string QtSidePages::filterText() const { return toBytes(filter_->text()); }

void QtSidePages::focusFilter(bool selectText) {
    showPage(SidePage::Contents);
    filter_->setFocus(Qt::OtherFocusReason);
    if (selectText) filter_->selectAll();
}

bool QtSidePages::filterHasFocus() const { return filter_->hasFocus(); }

void QtSidePages::reloadContents(bool filtered, TreeItem selected) { contents_.reload(filtered, selected); }

}  // namespace vtome::platform::qt
