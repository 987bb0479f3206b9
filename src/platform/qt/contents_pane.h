#pragma once
// The "Contents" pane: a captioned child pane holding the topic tree, a
// tree view over the application's ContentsSource. Selecting an item expands
// it and collapses the branch selected before; every change of the
// selection, by the user or by selectItem, is reported once and
// synchronously. A mouse click selects exactly the item under the pointer,
// whatever the closing of the branch selected before moves.

#include <QAbstractItemModel>
#include <QObject>

#include "platform/qt/call_guard.h"
#include "platform/qt/widget_pane.h"

class QTreeView;

namespace vtome::platform::qt {

// The source's items as a Qt model: an index carries its item's number.
class ContentsModel final : public QAbstractItemModel {
public:
    void setSource(const ContentsSource* source);
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

class QtContentsPane final : public WidgetPane<ContentsPane> {
public:
    QtContentsPane(QWidget* parent, ContentsTreeEvents& events, CallGuard& guard);

    void setContents(const ContentsSource* source) override;
    void selectItem(TreeItem item) override;
    TreeItem selectedItem() const override;
    void expandItem(TreeItem item) override;
    bool isExpanded(TreeItem item) const override;

    QTreeView* tree() const { return tree_; }
    const ContentsModel& model() const { return model_; }

private:
    void onCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void onCollapsed(const QModelIndex& index);

    ContentsTreeEvents& events_;
    CallGuard& guard_;
    ContentsModel model_;
    QTreeView* tree_;
    // Set while the tree is emptied or refilled: that is no selection by anyone.
    bool resetting_ = false;
    QObject connections_;
};

}  // namespace vtome::platform::qt
