#pragma once
// Checking a help document for what makes the viewer show something other
// than its author meant: a topic without its section, a section whose
// header is taken from a mention in an earlier text, a text block cut short
// or never closed, a contents list ended early, lines past the viewer's
// limits, and the smaller slips (depth jumps, repeated names and titles, odd
// line ends, text that is not UTF-8). The document is read with the
// viewer's own lookups and contents rules, so every finding describes what
// the viewer really does. vtome-tool check prints the findings.

#include <cstdint>
#include <string>
#include <vector>

#include "store/keyed_store.h"

namespace vtome {

struct CheckFinding {
    enum class Severity { Error, Warning };
    Severity severity = Severity::Error;
    std::uint32_t line = 1;  // 1-based: the line of the offending thing
    std::string message;

    bool operator==(const CheckFinding&) const = default;
};

// Every finding, in line order (those of one line in the order found). An
// error means some text or topic of the document does not reach the reader
// (or the viewer stops); a warning means the document works but probably
// not as meant. The store is only read.
std::vector<CheckFinding> checkDocument(KeyedStore& document);

}  // namespace vtome
