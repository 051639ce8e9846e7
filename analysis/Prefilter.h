// Cheap tests that run in front of the line scanner's patterns. Each one
// answers "cannot match" only where a search with the pattern would fail on
// the same text, so skipping the search then gives the same result as running
// it; tests/PrefilterTest.cpp compares every test with the plain search.
#ifndef SKERRY_ANALYSIS_PREFILTER_H
#define SKERRY_ANALYSIS_PREFILTER_H

#include <cstring>
#include <string_view>

namespace skerry {

// Whether the checker runs these tests at all. A build without them
// (-DSKERRY_CHEAP_TESTS=OFF) searches every pattern on every line and must
// print the same output; the benchmark measures it as the plain form of the
// checker, and one test run compares its output with the expected one.
#ifndef SKERRY_CHEAP_TESTS
#define SKERRY_CHEAP_TESTS 1
#endif
constexpr bool kCheapTests = SKERRY_CHEAP_TESTS != 0;

// Whether word occurs in text (a plain substring search). The candidates are
// found by looking for word[anchor] alone, so a character of word that is
// rare in source text makes a good anchor.
inline bool Contains(std::string_view text, std::string_view word, std::size_t anchor = 0) {
  if (word.empty()) return true;
  if (text.size() < word.size()) return false;
  const char* base = text.data();
  const std::size_t last = text.size() - word.size();  // the last possible start
  std::size_t from = anchor;
  while (from < text.size()) {
    const void* hit = std::memchr(base + from, word[anchor], text.size() - from);
    if (hit == nullptr) return false;
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
    if (at - anchor > last) return false;  // no room for the rest of word
    if (at >= anchor && std::memcmp(base + at - anchor, word.data(), word.size()) == 0) return true;
    from = at + 1;
  }
  return false;
}

// Whether text holds a line feed or a carriage return, the two characters
// that "." does not match.
inline bool HasLineTerminator(std::string_view text) {
  return std::memchr(text.data(), '\n', text.size()) != nullptr ||
         std::memchr(text.data(), '\r', text.size()) != nullptr;
}

// Exactly the whole match of LineCommentPattern, "^[/][/].*": two slashes
// at the start and no line terminator after them.
inline bool IsLineComment(std::string_view line) {
  return line.size() >= 2 && line[0] == '/' && line[1] == '/' && !HasLineTerminator(line.substr(2));
}

// DefinePattern needs " #define" in the text.
inline bool MayHoldDefine(std::string_view text) { return Contains(text, "#define", 0); }

// The type word of a text as the type and typedef patterns see it. Every one
// of them begins with "^[^ (,]*" followed by "[ ]+" (or "[ ]") and a fixed
// run of letters. "[^ (,]*" cannot take a blank while the element after it
// needs one, so it takes exactly the text before the first blank, "(" or
// ",", and that character must be a blank; the letters must then start
// right after the run of blanks that begins there, because a blank is no
// letter. That position is where the type word starts; the view runs from
// it to the end of the text. Without such a blank the view is empty.
std::string_view TypeWord(std::string_view text);

// What a type or typedef pattern needs at the start of the type word, ASCII
// letter case ignored (a looser test than the pattern's own, which is enough
// to tell that it cannot match): lead, or otherLead when the pattern has a
// second alternative; with skipS, after a run of "s" or "S" (the "[Ss]*" of
// the signed patterns).
struct TypeWordLead {
  std::string_view lead;
  std::string_view otherLead;
  bool skipS = false;
};

// False when a pattern with this lead certainly does not match a text whose
// type word is word.
inline bool TypeWordMayFit(std::string_view word, const TypeWordLead& lead) {
  auto startsWith = [](std::string_view text, std::string_view lowerPrefix) {
    if (lowerPrefix.empty() || text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
      char c = text[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lowerPrefix[i]) return false;
    }
    return true;
  };
  if (lead.skipS) {
    while (!word.empty() && (word.front() == 's' || word.front() == 'S')) word.remove_prefix(1);
  }
  return startsWith(word, lead.lead) || startsWith(word, lead.otherLead);
}

}  // namespace skerry

#endif
