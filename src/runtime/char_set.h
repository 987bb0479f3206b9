#pragma once
// A set of the character codes 0 to 127, one bit each. A character is tested
// by its low 7 bits, so bytes of 128 and above alias their ASCII counterparts.

#include <bitset>
#include <initializer_list>

namespace vtome {

class CharSet {
public:
    CharSet() = default;
    CharSet(std::initializer_list<char> members) {
        for (char c : members) add(c);
    }

    void add(char c) { bits_.set(static_cast<unsigned char>(c) & 0x7F); }
    void remove(char c) { bits_.reset(static_cast<unsigned char>(c) & 0x7F); }
    bool contains(char c) const { return bits_.test(static_cast<unsigned char>(c) & 0x7F); }
    bool empty() const { return bits_.none(); }

    bool operator==(const CharSet&) const = default;

private:
    std::bitset<128> bits_;
};

}  // namespace vtome
