#include "lists/node_list.h"

#include "runtime/failure.h"

namespace vtome {

std::uint32_t NodeList::count() const { return count_; }

ListEntry* NodeList::first() const { return first_; }

ListEntry* NodeList::last() const { return last_; }

ListEntry* NodeList::entryAt(std::uint32_t index) const {
    ListEntry* entry = first_;
    for (std::uint32_t i = 0; entry != nullptr && i < index; ++i) entry = entry->next;
    return entry;
}

std::int32_t NodeList::indexOf(const ListEntry* entry) const {
    std::int32_t index = 0;
    for (const ListEntry* e = first_; e != nullptr; e = e->next, ++index) {
        if (e == entry) return index;
    }
    return -1;
}

void NodeList::append(ListEntry* entry) { insertAt(count_, entry); }

void NodeList::insertAt(std::uint32_t index, ListEntry* entry) {
    if (entry == nullptr) return;
    if (first_ == nullptr) {
        entry->next = entry->prev = nullptr;
        first_ = last_ = entry;
    } else if (index < count_) {
        ListEntry* before = entryAt(index);
        entry->next = before;
        entry->prev = before->prev;
        if (before->prev != nullptr) {
            before->prev->next = entry;
        } else {
            first_ = entry;
        }
        before->prev = entry;
    } else {
        entry->prev = last_;
        entry->next = nullptr;
        last_->next = entry;
        last_ = entry;
    }
    ++count_;
}

void NodeList::destroy() {
    ListEntry* entry = first_;
    while (entry != nullptr) {
        ListEntry* next = entry->next;
        delete entry;
        entry = next;
    }
    first_ = last_ = nullptr;
    count_ = 0;
}

void NodeList::remove(ListEntry* entry) {
    if (entry == nullptr) return;
    if (entry->prev != nullptr) {
        entry->prev->next = entry->next;
    } else {
        first_ = entry->next;
    }
    if (entry->next != nullptr) {
        entry->next->prev = entry->prev;
    } else {
        last_ = entry->prev;
    }
    delete entry;
    --count_;
}

bool NodeList::removeAt(std::uint32_t index) {
    ListEntry* entry = entryAt(index);
    if (entry == nullptr) return false;
    remove(entry);
    return true;
}

void NodeList::abstractEntryOperation() { fail(FailureCode::AbstractMethod); }

}  // namespace vtome
