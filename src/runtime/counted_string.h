#pragma once
// A text with a current length and a fixed capacity. Putting more into it than
// it can hold fails with "String Overflow" instead of truncating: the fixed
// limits (paths 260, scratch text 4096, ...) are promises, not suggestions.

#include <cstddef>
#include <string>
#include <string_view>

namespace vtome {

class CountedString {
public:
    explicit CountedString(std::size_t capacity) : capacity_(capacity) {}

    std::size_t capacity() const { return capacity_; }
    std::size_t length() const { return text_.size(); }
    bool empty() const { return text_.empty(); }

    // The content is followed by a byte 0, so c_str() is always valid.
    const char* c_str() const { return text_.c_str(); }
    std::string_view view() const { return text_; }
    const std::string& str() const { return text_; }
    operator std::string_view() const { return text_; }

    void clear() { text_.clear(); }
    CountedString& assign(std::string_view text);
    CountedString& append(std::string_view text);
    CountedString& append(char c) { return append(std::string_view(&c, 1)); }
    // Shortens the text to at most n characters.
    void truncate(std::size_t n) {
        if (n < text_.size()) text_.resize(n);
    }

    bool operator==(std::string_view other) const { return text_ == other; }

private:
    std::size_t capacity_;
    std::string text_;
};

}  // namespace vtome
