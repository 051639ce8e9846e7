// Character and text tests shared by the analysis: name characters, blanks,
// line terminators, substring and last-character searches.
#ifndef SKERRY_ANALYSIS_TEXT_HELPERS_H
#define SKERRY_ANALYSIS_TEXT_HELPERS_H

#include <array>
#include <cstring>
#include <string_view>

namespace skerry {

// Letters, digits and "_", the characters of names.
inline constexpr std::array<bool, 256> kNameChar = [] {
  std::array<bool, 256> name{};
  for (int c = 0; c < 256; ++c) {
    name[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  }
  return name;
}();

inline bool IsNameChar(char c) { return kNameChar[static_cast<unsigned char>(c)]; }

// Space, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// text without white space (IsBlank) at both ends.
inline std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Position of the last c in text, or npos.
inline std::size_t FindLast(std::string_view text, char c) {
#if defined(__GLIBC__)
  const void* at = memrchr(text.data(), c, text.size());
  return at == nullptr ? std::string_view::npos : static_cast<std::size_t>(static_cast<const char*>(at) - text.data());
#else
  return text.rfind(c);
#endif
}

// Whether text holds a line feed or a carriage return, the two characters
// that "." does not match.
inline bool HasLineTerminator(std::string_view text) {
  return std::memchr(text.data(), '\n', text.size()) != nullptr ||
         std::memchr(text.data(), '\r', text.size()) != nullptr;
}

// text up to its first line feed or carriage return: what a pattern's "."
// can span from the start of text.
inline std::string_view CutAtLineTerminator(std::string_view text) {
  for (char terminator : {'\n', '\r'}) {
    const void* at = std::memchr(text.data(), terminator, text.size());
    if (at != nullptr) text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(at) - text.data()));
  }
  return text;
}

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

}  // namespace skerry

#endif
