#pragma once
// NodeList: the doubly linked list every ordered collection of vTome is built
// on (section names, topic index, history, bookmarks). The order of the
// virtual operations is part of the interface: derived lists keep it and add
// their own after it.

#include <cstdint>

namespace vtome {

// An entry begins with its two links; what follows belongs to the class that
// made it. The list owns its entries and deletes them on removal.
struct ListEntry {
    ListEntry* next = nullptr;
    ListEntry* prev = nullptr;
    virtual ~ListEntry() = default;
};

class NodeList {
public:
    NodeList() = default;
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    virtual ~NodeList() { NodeList::destroy(); }

    virtual std::uint32_t count() const;                                // slot 0
    virtual ListEntry* first() const;                                   // slot 1
    virtual ListEntry* last() const;                                    // slot 2
    virtual ListEntry* entryAt(std::uint32_t index) const;              // slot 3
    virtual std::int32_t indexOf(const ListEntry* entry) const;         // slot 4
    virtual void append(ListEntry* entry);                              // slot 5
    virtual void insertAt(std::uint32_t index, ListEntry* entry);       // slot 6
    // Frees every entry; the list is empty and usable afterwards.
    virtual void destroy();                                             // slot 7
    // Unlinks and frees the entry; none does nothing. The entry must be ours.
    virtual void remove(ListEntry* entry);                              // slot 8
    virtual bool removeAt(std::uint32_t index);                         // slot 9
    // Placeholder slot kept for derived classes; no list implements it.
    virtual void abstractEntryOperation();                              // slot 10

private:
    ListEntry* first_ = nullptr;
    ListEntry* last_ = nullptr;
    std::uint32_t count_ = 0;
};

}  // namespace vtome
