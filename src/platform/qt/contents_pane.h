#pragma once
// The "Contents" pane: a captioned child pane holding the topic tree.
// Selecting an item expands it and collapses the branch selected before;
// every change of the selection, by the user or by selectItem, is reported
// once and synchronously.

#include <QObject>

#include <unordered_map>

#include "platform/qt/call_guard.h"
#include "platform/qt/widget_pane.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace vtome::platform::qt {

class QtContentsPane final : public WidgetPane<ContentsPane> {
public:
    QtContentsPane(QWidget* parent, ContentsTreeEvents& events, CallGuard& guard);

    void clear() override;
    TreeItem insertItem(TreeItem parent, std::string_view title, void* data) override;
    void selectItem(TreeItem item) override;
    TreeItem selectedItem() const override;
    void expandItem(TreeItem item) override;
    bool isExpanded(TreeItem item) const override;

    QTreeWidget* tree() const { return tree_; }

private:
    struct Entry {
        QTreeWidgetItem* item;
        void* data;
    };

    QTreeWidgetItem* itemOf(TreeItem item) const;
    TreeItem handleOf(const QTreeWidgetItem* item) const;
    void onCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void onCollapsed(QTreeWidgetItem* item);

    ContentsTreeEvents& events_;
    CallGuard& guard_;
    QTreeWidget* tree_;
    std::unordered_map<TreeItem, Entry> entries_;
    TreeItem lastHandle_ = kNoTreeItem;
    // Set while the tree is emptied: that is no selection by anyone.
    bool clearing_ = false;
    QObject connections_;
};

}  // namespace vtome::platform::qt
