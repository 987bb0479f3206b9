// The contents tree: handles, synchronous selection reports and the
// single-expand behaviour.

#include <QTest>
#include <QTreeWidget>

#include "gui_support.h"
#include "platform/qt/contents_pane.h"

namespace vtome::gui_test {
namespace {

class RecordingTree final : public ContentsTreeEvents {
public:
    void onSelectionChanged(TreeItem item, void* data) override { changes.push_back({item, data}); }
    std::vector<std::pair<TreeItem, void*>> changes;
};

class QtContentsPane : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        pane = &platform().createContentsPane(events);
        pane->place(Rect::fromSize(0, 52, 200, 300));
        pane->show();
        header = pane->insertItem(kNoTreeItem, "Header", &data[0]);
        a = pane->insertItem(header, "A", &data[1]);
        a1 = pane->insertItem(a, "A1", &data[2]);
        b = pane->insertItem(header, "B", &data[3]);
        b1 = pane->insertItem(b, "B1", &data[4]);
    }

    QTreeWidget* tree() { return dynamic_cast<qt::QtContentsPane&>(*pane).tree(); }

    RecordingTree events;
    ContentsPane* pane = nullptr;
    int data[5] = {};
    TreeItem header = 0, a = 0, a1 = 0, b = 0, b1 = 0;
};

TEST_F(QtContentsPane, ItemsKeepInsertionOrderUnderTheirParents) {
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    const QTreeWidgetItem* top = tree()->topLevelItem(0);
    ASSERT_EQ(top->childCount(), 2);
    EXPECT_EQ(top->child(0)->text(0), QStringLiteral("A"));
    EXPECT_EQ(top->child(1)->text(0), QStringLiteral("B"));
    EXPECT_EQ(top->child(1)->child(0)->text(0), QStringLiteral("B1"));
    EXPECT_EQ(pane->insertItem(9999, "orphan", nullptr), kNoTreeItem);
    EXPECT_TRUE(events.changes.empty());
}

TEST_F(QtContentsPane, SelectingReportsOnceAndOpensOnlyTheSelectedBranch) {
    pane->selectItem(a1);
    ASSERT_EQ(events.changes.size(), 1u);
    EXPECT_EQ(events.changes.back(), std::make_pair(a1, static_cast<void*>(&data[2])));
    EXPECT_TRUE(pane->isExpanded(a));
    EXPECT_TRUE(pane->isExpanded(header));

    pane->selectItem(b1);
    ASSERT_EQ(events.changes.size(), 2u);
    EXPECT_EQ(events.changes.back().first, b1);
    EXPECT_FALSE(pane->isExpanded(a)) << "the branch selected before closes";
    EXPECT_TRUE(pane->isExpanded(b));
    EXPECT_TRUE(pane->isExpanded(header)) << "the shared ancestor stays open";

    pane->selectItem(b1);
    EXPECT_EQ(events.changes.size(), 2u) << "selecting the selected item does nothing";
    EXPECT_EQ(pane->selectedItem(), b1);

    pane->selectItem(b);
    EXPECT_EQ(events.changes.size(), 3u);
    EXPECT_TRUE(pane->isExpanded(b));
}

TEST_F(QtContentsPane, AClickSelectsAndReportsOnce) {
    pane->expandItem(header);
    showActive();
    QTreeWidgetItem* itemB = tree()->topLevelItem(0)->child(1);
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(itemB).center());
    ASSERT_EQ(events.changes.size(), 1u);
    EXPECT_EQ(events.changes.back(), std::make_pair(b, static_cast<void*>(&data[3])));
    EXPECT_EQ(pane->selectedItem(), b);
    EXPECT_TRUE(pane->isExpanded(b));
}

TEST_F(QtContentsPane, ClearingReportsNothingAndRetiresEveryHandle) {
    pane->selectItem(a1);
    events.changes.clear();
    pane->clear();
    EXPECT_TRUE(events.changes.empty());
    EXPECT_EQ(pane->selectedItem(), kNoTreeItem);
    EXPECT_EQ(tree()->topLevelItemCount(), 0);

    pane->selectItem(a1);  // an old handle names nothing now
    EXPECT_TRUE(events.changes.empty());
    const TreeItem fresh = pane->insertItem(kNoTreeItem, "New", nullptr);
    EXPECT_NE(fresh, kNoTreeItem);
    EXPECT_NE(fresh, header);
    pane->selectItem(fresh);
    EXPECT_EQ(events.changes.size(), 1u);
}

TEST_F(QtContentsPane, ClosingTheBranchThatHoldsTheSelectionSelectsItsHead) {
    pane->selectItem(a1);
    tree()->collapseItem(tree()->topLevelItem(0)->child(0));
    ASSERT_EQ(events.changes.size(), 2u);
    EXPECT_EQ(events.changes.back().first, a);
    EXPECT_EQ(pane->selectedItem(), a);
}

}  // namespace
}  // namespace vtome::gui_test
