#pragma once
// The "Contents" pane: a captioned child pane holding the topic tree, a
// tree view over the application's ContentsSource. Selecting an item expands
// it and collapses the branch selected before; every change of the
// selection, by the user or by selectItem, is reported once and
// synchronously. A mouse click selects exactly the item under the pointer,
// whatever the closing of the branch selected before moves. The pages of
// the finding panes (a filter field above the tree, the results list) are
// added around it on request.

#include <QAbstractItemModel>
#include <QObject>

#include <functional>
#include <memory>

#include "platform/qt/call_guard.h"
#include "platform/qt/widget_pane.h"
#include "platform/side_pages.h"

class QTreeView;

namespace vtome::platform::qt {

// The source's items as a Qt model: an index carries its item's number.
class ContentsModel final : public QAbstractItemModel {
public:
    void setSource(const ContentsSource* source);
    // The source lists other items now: every row is read anew.
    void reload();
    QModelIndex indexOf(TreeItem item) const;
    void* dataOf(TreeItem item) const;
    static TreeItem itemOf(const QModelIndex& index) {
        return index.isValid() ? static_cast<TreeItem>(index.internalId()) : kNoTreeItem;
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const ContentsSource* source_ = nullptr;
};

class QtSidePages;

class QtContentsPane final : public WidgetPane<ContentsPane> {
public:
    QtContentsPane(QWidget* parent, ContentsTreeEvents& events, CallGuard& guard);
    ~QtContentsPane() override;

    void setContents(const ContentsSource* source) override;
    void selectItem(TreeItem item) override;
    TreeItem selectedItem() const override;
    void expandItem(TreeItem item) override;
    bool isExpanded(TreeItem item) const override;

    QTreeView* tree() const { return tree_; }
    const ContentsModel& model() const { return model_; }

    // The Contents and Results pages around the tree, made once.
    QtSidePages& addPages(SidePagesEvents& events);
    QtSidePages* pages() const { return pages_.get(); }
    // SidePages::reloadContents.
    void reload(bool filtered, TreeItem selected);
    bool isFiltered() const { return filtered_; }
    // Printable text typed while the tree has the focus goes here; true
    // when it was taken.
    void setTypingHandler(std::function<bool(const QString&)> handler);

private:
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void onCollapsed(const QModelIndex& index);

    ContentsTreeEvents& events_;
    CallGuard& guard_;
    ContentsModel model_;
    QTreeView* tree_;
    // Set while the tree is emptied or refilled: that is no selection by anyone.
    bool resetting_ = false;
    // While filtered every branch stays open; a selected topic the filter
    // hides has no row and is held here.
    bool filtered_ = false;
    TreeItem hidden_ = kNoTreeItem;
    std::unique_ptr<QtSidePages> pages_;
    QObject connections_;
};

}  // namespace vtome::platform::qt
