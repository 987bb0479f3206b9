#pragma once
// Help documents made from a seed, for tests that compare a fast path with
// the plain linear reading of the same bytes. They hold what trips up a
// lookup: topic names quoted as "[Name]" in earlier text blocks, names
// listed twice or differing only in case, byte blocks (good, malformed,
// decoding to a byte 0), a byte 0 that hides the rest, unclosed blocks,
// plain and empty sections, "</text>" in mid-line, CR LF, LF-only and
// CR-only line ends, UTF-8 and Windows-1252 text.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vtome::testing {

struct GeneratedHelpDocument {
    std::string text;
    // Texts worth searching for: words of the topics in other cases, bytes
    // of 128 and up, brackets, line ends, a text found nowhere.
    std::vector<std::string> searches;
};

inline GeneratedHelpDocument generateHelpDocument(unsigned seed) {
    std::mt19937 random(seed);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto chance = [&](unsigned percent) { return random() % 100 < percent; };
    // One document keeps to one kind of line end mostly, as real ones do.
    const std::vector<std::string> kinds{"\r\n", "\n", "\r"};
    const std::string usual = kinds[pick(kinds.size())];
    auto end = [&] { return chance(90) ? usual : kinds[pick(kinds.size())]; };

    const std::vector<std::string> words{"alpha", "Beta",  "GAMMA", "delta", "the",  "then", "theme",
                                         "[x]",   "a=b",   "Caf\xC3\xA9", "caf\xC3\x89", "na\xEFve",
                                         "\xE9t\xE9",       "tab\there", "<text>", "Zz", "zZ", "@`{"};
    auto sentence = [&] {
        std::string s;
        const std::size_t n = 1 + pick(12);
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) s += ' ';
            s += words[pick(words.size())];
        }
        return s;
    };

    // Names: some differ only in case, some are listed twice.
    std::vector<std::string> names;
    const std::size_t topics = 5 + pick(30);
    for (std::size_t i = 0; i < topics; ++i) {
        std::string name;
        switch (pick(6)) {
            case 0: name = "Topic " + std::to_string(i); break;
            case 1: name = "topic " + std::to_string(pick(topics)); break;
            case 2: name = "TOPIC " + std::to_string(pick(topics)); break;
            case 3: name = names.empty() ? "First" : names[pick(names.size())]; break;
            case 4: name = "Caf\xC3\xA9 " + std::to_string(i); break;
            default: name = words[pick(words.size())] + std::to_string(i); break;
        }
        if (name.find_first_of("\r\n\t=") != std::string::npos || name.find(']') != std::string::npos) {
            name = "n" + std::to_string(i);
        }
        names.push_back(name);
    }

    GeneratedHelpDocument doc;
    std::string& t = doc.text;
    t = "[vTome Header]" + end() + "<text>" + end() + sentence() + end() + "</text>" + end() + end();
    t += "[vTome Contents]" + end();
    for (const std::string& name : names) {
        t += std::string(pick(3), '.') + name;
        if (chance(40)) t += " = " + sentence();
        t += end();
    }
    t += end();

    for (std::size_t i = 0; i < names.size(); ++i) {
        if (chance(8)) continue;  // a contents entry without its section
        const std::string& name = names[pick(3) == 0 ? pick(names.size()) : i];
        t += "[" + name + "]";
        if (chance(10)) t += " trailing";
        t += end();
        switch (pick(10)) {
            case 0:
                t += "<bin>" + std::string(chance(50) ? "48 69 00 21" : "74 68 45 4D 65") + end() + "20 7A" + end() +
                     "</bin>" + end();
                break;
            case 1: t += "<BIN>4G" + end() + "</bin>" + end(); break;
            case 2: t += end(); break;  // an empty line, then the next header
            case 3: t += sentence() + end() + sentence() + end() + end(); break;  // a plain body
            default: {
                t += chance(20) ? "<TEXT>" : "<text>";
                t += end();
                const std::size_t lines = pick(6);
                for (std::size_t l = 0; l < lines; ++l) {
                    if (chance(15)) {
                        // A header quoted in the text: of a later topic it
                        // takes that topic's place.
                        t += "see [" + names[pick(names.size())] + "] here" + end();
                    } else if (chance(10)) {
                        t += sentence() + " </text> mid-line" + end();
                    } else {
                        t += sentence() + end();
                    }
                }
                if (chance(95)) t += (chance(20) ? "</TEXT>" : "</text>") + end();
                t += end();
                break;
            }
        }
    }
    if (chance(25)) {
        t.insert(pick(t.size()), 1, '\0');
        t += "[after zero]" + end() + "hidden" + end();
    }

    doc.searches = {"alpha", "ALPHA", "beta", "the", "THEN", "e", "t", "caf\xC3\xA9", "CAF\xC3\xA9", "\xC3\x89",
                    "\xE9", "na\xCFve", "[x]", "[", "a=b", "tab\t", "zz", "@", "`", "{", "</text>", "hi",
                    std::string("H\0!", 3), "nowhere at all", ""};
    if (usual == "\r\n") doc.searches.push_back("\r\n");
    for (int i = 0; i < 4; ++i) doc.searches.push_back(sentence().substr(0, 1 + pick(9)));
    return doc;
}

}  // namespace vtome::testing
