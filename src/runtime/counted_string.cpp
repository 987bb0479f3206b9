#include "runtime/counted_string.h"

#include "runtime/failure.h"

namespace vtome {

CountedString& CountedString::assign(std::string_view text) {
    if (text.size() > capacity_) fail(FailureCode::StringOverflow);
    text_.assign(text);
    return *this;
}

CountedString& CountedString::append(std::string_view text) {
    if (text.size() > capacity_ - text_.size()) fail(FailureCode::StringOverflow);
    text_.append(text);
    return *this;
}

}  // namespace vtome
