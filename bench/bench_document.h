#pragma once
// The help documents the benchmarks measure on, made by a program so that
// every machine measures the same bytes: chapters of sections of topics
// nested two to three levels deep, topic texts of varied length (about 500
// bytes on average) of common English words, some topics naming others, a
// few text blocks quoting an earlier topic's "[Name]", a few plain bodies,
// CR LF line ends. About 530 bytes per topic in all.

#include <cstddef>
#include <string>
#include <string_view>

namespace vtome::bench {

// Occurs only in the last topic: a search for it from the title page
// crosses every topic. Its first (and last) letter is common in English.
inline constexpr std::string_view kRareWord = "thermostat";
// A word of nearly every topic of the generated documents.
inline constexpr std::string_view kCommonWord = "the";

// The document of `topics` topics; the same bytes for the same count.
std::string makeDocument(std::size_t topics);

}  // namespace vtome::bench
