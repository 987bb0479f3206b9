#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "lists/value_list.h"
#include "runtime/failure.h"

namespace vtome {
namespace {

// Checks both link directions and the count agree with the expected values.
void expectValues(const ValueList& list, std::vector<std::uint32_t> expected) {
    ASSERT_EQ(list.count(), expected.size());
    std::vector<std::uint32_t> forward, backward;
    for (const ListEntry* e = list.first(); e != nullptr; e = e->next) {
        forward.push_back(static_cast<const ValueEntry*>(e)->value);
    }
    for (const ListEntry* e = list.last(); e != nullptr; e = e->prev) {
        backward.insert(backward.begin(), static_cast<const ValueEntry*>(e)->value);
    }
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
}

TEST(NodeList, NewListIsEmpty) {
    ValueList list;
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.entryAt(0), nullptr);
}

TEST(NodeList, AppendLinksEntriesInOrder) {
    ValueList list;
    ValueEntry* a = list.appendValue(1);
    EXPECT_EQ(list.first(), a);
    EXPECT_EQ(list.last(), a);
    ValueEntry* b = list.appendValue(2);
    EXPECT_EQ(list.first(), a);
    EXPECT_EQ(list.last(), b);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->prev, a);
    expectValues(list, {1, 2});
}

TEST(NodeList, InsertAtIndex) {
    ValueList list;
    list.appendValue(1);
    list.appendValue(2);
    ValueEntry* front = list.newEntry();
    front->value = 0;
    list.insertAt(0, front);
    EXPECT_EQ(list.first(), front);
    ValueEntry* middle = list.newEntry();
    middle->value = 9;
    list.insertAt(2, middle);
    ValueEntry* beyond = list.newEntry();
    beyond->value = 7;
    list.insertAt(5, beyond);  // past the end: appended
    expectValues(list, {0, 1, 9, 2, 7});
    EXPECT_EQ(list.last(), beyond);
}

TEST(NodeList, RemoveKeepsLinksAndEnds) {
    ValueList list;
    ValueEntry* only = list.appendValue(1);
    list.remove(only);
    expectValues(list, {});
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);

    ValueEntry* a = list.appendValue(1);
    list.appendValue(2);
    ValueEntry* c = list.appendValue(3);
    list.remove(a);
    expectValues(list, {2, 3});
    list.remove(c);
    expectValues(list, {2});
    list.remove(nullptr);
    expectValues(list, {2});
}

TEST(NodeList, RemoveAtIndexReportsMissingIndex) {
    ValueList list;
    list.appendValue(1);
    list.appendValue(2);
    list.appendValue(3);
    EXPECT_TRUE(list.removeAt(1));
    expectValues(list, {1, 3});
    EXPECT_FALSE(list.removeAt(2));
    expectValues(list, {1, 3});
}

TEST(NodeList, IndexOf) {
    ValueList list, other;
    list.appendValue(1);
    ValueEntry* second = list.appendValue(2);
    ValueEntry* foreign = other.appendValue(2);
    EXPECT_EQ(list.indexOf(second), 1);
    EXPECT_EQ(list.indexOf(foreign), -1);
    EXPECT_EQ(list.entryAt(1), second);
    EXPECT_EQ(list.entryAt(2), nullptr);
}

TEST(NodeList, DestroyEmptiesAndListStaysUsable) {
    ValueList list;
    for (std::uint32_t i = 0; i < 100; ++i) list.appendValue(i);
    list.destroy();
    expectValues(list, {});
    list.appendValue(5);
    expectValues(list, {5});
}

TEST(NodeList, AbstractSlotFails) {
    ValueList list;
    try {
        list.abstractEntryOperation();
        FAIL() << "expected a failure";
    } catch (const RuntimeFailure& failure) {
        EXPECT_STREQ(failure.what(), "Attempted to execute abstract method");
    }
}

TEST(ValueList, FindValueReturnsEarliest) {
    ValueList list;
    list.appendValue(4);
    ValueEntry* first7 = list.appendValue(7);
    list.appendValue(7);
    EXPECT_EQ(list.findValue(7), first7);
    EXPECT_EQ(list.findValue(8), nullptr);
    list.setValue(8, first7);
    EXPECT_EQ(list.findValue(8), first7);
    std::unique_ptr<ValueEntry> fresh(list.newEntry());
    EXPECT_EQ(fresh->value, 0u);
    EXPECT_EQ(fresh->next, nullptr);
}

}  // namespace
}  // namespace vtome
