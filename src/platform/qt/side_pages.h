#pragma once
// The Contents and Results pages of the contents pane: a row of two tabs
// where the pane's caption was, and below it either the filter field above
// the topic tree or the results list. Both pages stay inside the pane's
// rectangle, so the window's layout is the same as without them.

#include <QAbstractTableModel>
#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

#include "platform/qt/call_guard.h"
#include "platform/side_pages.h"

class QLineEdit;
class QStackedWidget;
class QTabBar;
class QTreeView;

namespace vtome::platform::qt {

class PaneFrame;
class QtContentsPane;

// The results as a table of two columns: the title and the hit count. A
// message (a text found nowhere) is one row that cannot be selected.
class ResultsModel final : public QAbstractTableModel {
public:
    void setRows(std::span<const ResultRow> rows);
    void setMessage(const QString& message);
    bool showsMessage() const { return !message_.isEmpty(); }
    std::uint32_t maxHits() const { return maxHits_; }

    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<ResultRow> rows_;
    QString message_;
    std::uint32_t maxHits_ = 0;
};

class QtSidePages final : public SidePages {
public:
    QtSidePages(QtContentsPane& contents, PaneFrame& frame, SidePagesEvents& events, CallGuard& guard);
    ~QtSidePages() override;
    QtSidePages(const QtSidePages&) = delete;
    QtSidePages& operator=(const QtSidePages&) = delete;

    void showPage(SidePage page) override;
    SidePage currentPage() const override;
    void setResults(std::span<const ResultRow> rows) override;
    void setResultsMessage(std::string_view text) override;
    void selectResult(std::optional<std::uint32_t> row) override;
    std::optional<std::uint32_t> selectedResult() const override;
    void focusResults() override;
    bool resultsHaveFocus() const override;
    void setFilterText(std::string_view text) override;
    std::string filterText() const override;
    void focusFilter(bool selectText) override;
    bool filterHasFocus() const override;
    void reloadContents(bool filtered, TreeItem selected) override;

    QTabBar* tabs() const { return tabs_; }
    QLineEdit* filterField() const { return filter_; }
    QTreeView* resultsView() const { return results_; }
    const ResultsModel& resultsModel() const { return model_; }

private:
    void chooseResult(int row);
    // The count column as wide as the largest count needs.
    void fitCountColumn();

    QtContentsPane& contents_;
    SidePagesEvents& events_;
    CallGuard& guard_;
    QTabBar* tabs_;
    QStackedWidget* stack_;
    QLineEdit* filter_;
    QTreeView* results_;
    ResultsModel model_;
    // Set while a page is shown by the application rather than by a click.
    bool showing_ = false;
    QObject connections_;
};

}  // namespace vtome::platform::qt
