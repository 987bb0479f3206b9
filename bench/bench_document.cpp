// The generated help documents of the benchmarks: a fixed pseudo-random
// walk through a word list, so that a document reads like a manual and is the
// same everywhere.

#include "bench_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A small, fixed generator: the documents must not depend on the library's.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    bool chance(std::size_t percent) { return below(100) < percent; }

private:
    std::uint64_t state_;
};

// Common words first: they are picked more often (a rough Zipf curve).
constexpr std::string_view kWords[] = {
    "the", "to", "and", "of", "a", "in", "is", "that", "for", "it", "on", "with", "as", "this", "be", "are", "you",
    "at", "or", "by", "from", "can", "not", "an", "when", "your", "which", "all", "there", "if", "then", "its",
    "each", "one", "two", "these", "other", "time", "file", "files", "window", "text", "topic", "list", "menu",
    "press", "select", "open", "close", "save", "shows", "setting", "settings", "option", "options", "button",
    "value", "values", "line", "lines", "first", "last", "next", "previous", "page", "document", "documents",
    "section", "sections", "name", "names", "title", "search", "find", "found", "key", "keys", "changes",
    "change", "order", "start", "end", "new", "old", "user", "users", "system", "program", "printer", "network",
    "server", "client", "folder", "path", "default", "current", "number", "size", "screen", "display", "mouse",
    "keyboard", "shortcut", "command", "commands", "dialog", "field", "fields", "entry", "entries", "table",
    "column", "row", "cell", "format", "print", "printing", "install", "installing", "update", "remove", "copy",
    "paste", "delete", "move", "scroll", "view", "tree", "contents", "bookmark", "note", "notes", "help", "manual",
    "chapter", "example", "examples", "usually", "always", "never", "often", "also", "only", "still", "again",
    "before", "after", "between", "under", "over", "into", "through", "without", "within", "about", "around",
    "should", "would", "could", "must", "may", "might", "will", "shall", "does", "did", "has", "have", "had",
    "make", "makes", "made", "take", "takes", "give", "gives", "keep", "keeps", "leave", "leaves", "turn", "set",
    "check", "checks", "test", "tests", "report", "reports", "error", "errors", "warning", "message", "messages",
    "reader", "writer", "author", "authors", "language", "letter", "letters", "word", "words", "space", "tab",
    "quickly", "slowly", "carefully", "simply", "directly", "automatically", "manually", "together", "separately",
};
constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];

std::string_view pickWord(Random& random) {
    // The product of two uniform picks leans toward the common words.
    const std::size_t a = random.below(kWordCount);
    const std::size_t b = random.below(kWordCount);
    return kWords[a * b / kWordCount];
}

// Capitalised words for names and titles.
std::string capitalised(std::string_view word) {
    std::string out(word);
    if (!out.empty() && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
    return out;
}

struct Topic {
    std::string name;
    std::string title;
    int depth;
};

// The contents: chapters (depth 0) of sections (depth 1) of topics
// (depth 2), some of which have subtopics (depth 3).
std::vector<Topic> makeContents(std::size_t count, Random& random) {
    std::vector<Topic> topics;
    topics.reserve(count);
    std::size_t chapter = 0, section = 0, topic = 0, sub = 0;
    int lastDepth = -1;
    while (topics.size() < count) {
        int depth;
        if (lastDepth < 0 || (lastDepth >= 1 && random.chance(2))) {
            depth = 0;
        } else if (lastDepth == 0 || random.chance(10)) {
            depth = 1;
        } else if (lastDepth >= 2 && random.chance(25)) {
            depth = 3;
        } else {
            depth = 2;
        }
        std::string number;
        switch (depth) {
            case 0: number = std::to_string(++chapter); section = topic = sub = 0; break;
            case 1: number = std::to_string(chapter) + "." + std::to_string(++section); topic = sub = 0; break;
            case 2:
                number = std::to_string(chapter) + "." + std::to_string(section) + "." + std::to_string(++topic);
                sub = 0;
                break;
            default:
                number = std::to_string(chapter) + "." + std::to_string(section) + "." + std::to_string(topic) +
                         "." + std::to_string(++sub);
                break;
        }
        const std::string words = capitalised(pickWord(random)) + " " + std::string(pickWord(random));
        Topic t;
        t.depth = depth;
        t.name = words + " " + number;
        t.title = depth == 0 ? "Chapter " + number + ": " + words : words;
        topics.push_back(t);
        lastDepth = depth;
    }
    return topics;
}

// One topic's text: paragraphs of sentences, lines cut near 70 bytes, about
// `target` bytes in all.
std::string makeText(std::size_t target, const std::vector<Topic>& topics, std::size_t self, bool quotes,
                     Random& random) {
    std::string text;
    std::string line;
    auto flushLine = [&] {
        text += line;
        text += "\r\n";
        line.clear();
    };
    auto addWord = [&](std::string_view word) {
        if (line.size() + word.size() + 1 > 70) flushLine();
        if (!line.empty()) line += ' ';
        line += word;
    };
    std::size_t sentence = 0;
    while (text.size() + line.size() < target) {
        const std::size_t length = 5 + random.below(14);
        for (std::size_t i = 0; i < length; ++i) {
            std::string word(pickWord(random));
            if (i == 0) word = capitalised(word);
            if (i + 1 == length) word += '.';
            addWord(word);
        }
        // Now and then a reference to another topic by its name.
        if (random.chance(12)) {
            const std::string& other = topics[random.below(topics.size())].name;
            addWord("See");
            for (std::size_t from = 0; from < other.size();) {
                const std::size_t space = other.find(' ', from);
                const std::size_t to = space == std::string::npos ? other.size() : space;
                addWord(std::string_view(other).substr(from, to - from));
                from = to + 1;
            }
            line += '.';
        }
        // A few quote an earlier topic's header, as a help author explains it.
        if (quotes && self > 0 && random.chance(1)) {
            addWord("The");
            addWord("section");
            flushLine();
            line = "[" + topics[random.below(self)].name + "]";
            flushLine();
            addWord("holds");
            addWord("it.");
        }
        if (++sentence % 4 == 0) {
            flushLine();
            text += "\r\n";
        }
    }
    if (!line.empty()) flushLine();
    return text;
}

}  // namespace

namespace vtome::bench {

std::string makeDocument(std::size_t topicCount) {
    Random random(0x9E3779B97F4A7C15ull ^ topicCount);
    const std::vector<Topic> topics = makeContents(topicCount, random);

    std::string doc;
    doc.reserve(topicCount * 600 + 4096);
    doc += "[vTome Header]\r\n<text>\r\nThe Generated Manual\r\n\r\nA help document of " +
           std::to_string(topicCount) + " topics, made for measuring.\r\n</text>\r\n\r\n";
    doc += "[vTome Contents]\r\n";
    for (const Topic& t : topics) {
        doc.append(static_cast<std::size_t>(t.depth), '.');
        doc += t.name;
        if (t.title != t.name) doc += "=" + t.title;
        doc += "\r\n";
    }
    doc += "\r\n";
    for (std::size_t i = 0; i < topics.size(); ++i) {
        // Lengths from about 20 to 1,000 bytes, most of them short.
        const std::size_t spread = random.below(1000);
        const std::size_t target = 20 + spread * spread / 1250 + random.below(260);
        // A plain body ends at a line that begins with "[": only text
        // blocks quote headers.
        const bool plain = random.chance(5);
        std::string text = makeText(target, topics, i, !plain, random);
        if (i + 1 == topics.size()) text += "Set the " + std::string(kRareWord) + " before you start.\r\n";
        doc += "[" + topics[i].name + "]\r\n";
        if (plain) {
            // A plain body: its lines up to the next header.
            doc += text;
            doc += "\r\n";
        } else {
            doc += "<text>\r\n" + text + "</text>\r\n\r\n";
        }
    }
    return doc;
}

}  // namespace vtome::bench

