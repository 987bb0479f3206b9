#pragma once
// ValueList: a NodeList whose entries carry one 32-bit value.

#include <cstdint>

#include "lists/node_list.h"

namespace vtome {

struct ValueEntry : ListEntry {
    std::uint32_t value = 0;

    ValueEntry* nextValue() const { return static_cast<ValueEntry*>(next); }
};

class ValueList : public NodeList {
public:
    virtual ValueEntry* appendValue(std::uint32_t value);               // slot 11
    virtual ValueEntry* findValue(std::uint32_t value) const;           // slot 12
    virtual void setValue(std::uint32_t value, ValueEntry* entry);      // slot 13
    virtual ValueEntry* newEntry();                                     // slot 14

    ValueEntry* firstValue() const { return static_cast<ValueEntry*>(first()); }
};

}  // namespace vtome
