// The contents tree: handles, synchronous selection reports and the
// single-expand behaviour.

#include <QTest>
#include <QTreeView>

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
        header = items.add(kNoTreeItem, "Header", &data[0]);
        a = items.add(header, "A", &data[1]);
        a1 = items.add(a, "A1", &data[2]);
        b = items.add(header, "B", &data[3]);
        b1 = items.add(b, "B1", &data[4]);
        pane->setContents(&items);
    }

    QTreeView* tree() { return dynamic_cast<qt::QtContentsPane&>(*pane).tree(); }
    QModelIndex indexOf(const char* title) { return findTitle(*tree()->model(), QString::fromUtf8(title)); }

    RecordingTree events;
    TestContents items;
    ContentsPane* pane = nullptr;
    int data[5] = {};
    TreeItem header = 0, a = 0, a1 = 0, b = 0, b1 = 0;
};

TEST_F(QtContentsPane, ShowsTheItemsOfItsSourceInTheirOrder) {
    const QAbstractItemModel& model = *tree()->model();
    ASSERT_EQ(model.rowCount({}), 1);
    const QModelIndex top = model.index(0, 0, {});
    ASSERT_EQ(model.rowCount(top), 2);
    EXPECT_EQ(model.index(0, 0, top).data().toString(), QStringLiteral("A"));
    EXPECT_EQ(model.index(1, 0, top).data().toString(), QStringLiteral("B"));
    EXPECT_EQ(model.index(0, 0, model.index(1, 0, top)).data().toString(), QStringLiteral("B1"));
    EXPECT_EQ(model.parent(indexOf("B1")), indexOf("B"));
    EXPECT_FALSE(model.index(5, 0, top).isValid());
    pane->selectItem(9999);  // names no item
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
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(indexOf("B")).center());
    ASSERT_EQ(events.changes.size(), 1u);
    EXPECT_EQ(events.changes.back(), std::make_pair(b, static_cast<void*>(&data[3])));
    EXPECT_EQ(pane->selectedItem(), b);
    EXPECT_TRUE(pane->isExpanded(b));
}

TEST_F(QtContentsPane, EmptyingReportsNothingAndANewSourceStartsClosed) {
    pane->selectItem(a1);
    events.changes.clear();
    pane->setContents(nullptr);
    EXPECT_TRUE(events.changes.empty());
    EXPECT_EQ(pane->selectedItem(), kNoTreeItem);
    EXPECT_EQ(tree()->model()->rowCount({}), 0);
    pane->selectItem(a1);  // no source, no item
    EXPECT_TRUE(events.changes.empty());

    TestContents other;
    const TreeItem fresh = other.add(kNoTreeItem, "New");
    other.add(fresh, "Child");
    pane->setContents(&other);
    EXPECT_FALSE(pane->isExpanded(fresh));
    EXPECT_EQ(pane->selectedItem(), kNoTreeItem);
    pane->selectItem(fresh);
    EXPECT_EQ(events.changes.size(), 1u);
    pane->setContents(nullptr);
}

TEST_F(QtContentsPane, ClosingTheBranchThatHoldsTheSelectionSelectsItsHead) {
    pane->selectItem(a1);
    tree()->collapse(indexOf("A"));
    ASSERT_EQ(events.changes.size(), 2u);
    EXPECT_EQ(events.changes.back().first, a);
    EXPECT_EQ(pane->selectedItem(), a);
}

}  // namespace
}  // namespace vtome::gui_test
