#include "lists/value_list.h"

namespace vtome {

ValueEntry* ValueList::appendValue(std::uint32_t value) {
    ValueEntry* entry = newEntry();
    entry->value = value;
    append(entry);
    return entry;
}

ValueEntry* ValueList::findValue(std::uint32_t value) const {
    for (ValueEntry* e = firstValue(); e != nullptr; e = e->nextValue()) {
        if (e->value == value) return e;
    }
    return nullptr;
}

void ValueList::setValue(std::uint32_t value, ValueEntry* entry) {
    if (entry != nullptr) entry->value = value;
}

ValueEntry* ValueList::newEntry() { return new ValueEntry(); }

}  // namespace vtome
