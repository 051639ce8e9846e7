#include "analysis/StatementPreparation.h"

#include <array>
#include <cstring>

#include "analysis/TextHelpers.h"

namespace skerry {

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool EndsWithInlineAnyCase(std::string_view text) {
  if (text.size() < 6) return false;
  static const char kWord[] = "inline";
  for (std::size_t i = 0; i < 6; ++i) {
    if (LowerAscii(text[text.size() - 6 + i]) != kWord[i]) return false;
  }
  return true;
}

// Length of the qualifier word the text ends with, or 0. The last letter
// picks the one or two words that can end there.
std::size_t TrailingQualifier(std::string_view text) {
  if (text.empty()) return 0;
  switch (text.back()) {
    case 't':
      return EndsWith(text, "const") ? 5 : 0;
    case 'c':
      return EndsWith(text, "static") ? 6 : 0;
    case 'e':
      if (EndsWith(text, "volatile")) return 8;
      return EndsWithInlineAnyCase(text) ? 6 : 0;
    case 'E':
      return EndsWithInlineAnyCase(text) ? 6 : 0;
    default:
      return 0;
  }
}

// What a character of a line becomes in its statement text: itself, one
// blank (a blank or a backslash) or two blanks (a tab).
enum class Becomes : unsigned char { kItself, kOneBlank, kTwoBlanks };
constexpr std::array<Becomes, 256> kBecomes = [] {
  std::array<Becomes, 256> becomes{};
  becomes[static_cast<unsigned char>(' ')] = Becomes::kOneBlank;
  becomes[static_cast<unsigned char>('\\')] = Becomes::kOneBlank;
  becomes[static_cast<unsigned char>('\t')] = Becomes::kTwoBlanks;
  return becomes;
}();

// The last letters of the qualifier words: TrailingQualifier is 0 for a
// text that ends with any other character.
constexpr std::array<bool, 256> kEndsQualifier = [] {
  std::array<bool, 256> ends{};
  for (char c : {'t', 'c', 'e', 'E'}) ends[static_cast<unsigned char>(c)] = true;
  return ends;
}();

}  // namespace

std::size_t WithoutTrailingQualifiers(const char* text, std::size_t size) {
  while (std::size_t length = TrailingQualifier(std::string_view(text, size))) size -= length;
  return size;
}

bool IsLineComment(std::string_view line) {
  return line.size() >= 2 && line[0] == '/' && line[1] == '/' && !HasLineTerminator(line.substr(2));
}

// One pass into a buffer sized for the worst case (every character a tab),
// written through a plain pointer, which is what makes the loop cheap. At
// every blank the qualifier words that end right before it are dropped; why
// that equals the documented loop: tests/LineScannerTest.cpp,
// QualifierRemovalMatchesPatternLoop.
bool PrepareStatement(std::string_view lineText, std::string& statement, std::ptrdiff_t* lineShift) {
  // resize fills only what lies beyond the text's previous length, and the
  // scanner reuses its statement texts, so this costs little.
  statement.resize(2 * lineText.size() + 2);
  char* out = &statement[0];
  std::size_t size = 0;
  out[size++] = ' ';
  if (!IsLineComment(lineText)) {
    const bool removeQualifiers = !HasLineTerminator(lineText);
    for (char c : lineText) {
      const Becomes becomes = kBecomes[static_cast<unsigned char>(c)];
      if (becomes == Becomes::kItself) {
        out[size++] = c;
        continue;
      }
      if (removeQualifiers && kEndsQualifier[static_cast<unsigned char>(out[size - 1])]) {
        size = WithoutTrailingQualifiers(out, size);
      }
      out[size++] = ' ';
      if (becomes == Becomes::kTwoBlanks) out[size++] = ' ';
    }
  }
  // Trimming: the prepared line starts after the statement's first blank.
  std::size_t begin = 1;
  std::size_t end = size;
  while (begin < end && IsBlank(out[begin])) ++begin;
  if (begin == end) return false;
  while (IsBlank(out[end - 1])) --end;
  if (begin > 1) std::memmove(out + 1, out + begin, end - begin);
  size = 1 + end - begin;
  out[size++] = ' ';
  statement.resize(size);
  if (lineShift != nullptr) {
    // The prepared line's last character, at statement[end - begin], is the
    // line's last one that is neither white space nor a backslash.
    std::size_t lineEnd = lineText.size();
    while (lineEnd > 0 && (IsBlank(lineText[lineEnd - 1]) || lineText[lineEnd - 1] == '\\')) --lineEnd;
    *lineShift = static_cast<std::ptrdiff_t>(lineEnd) - 1 - static_cast<std::ptrdiff_t>(end - begin);
  }
  return true;
}

// Why this equals the pattern: tests/PrefilterTest.cpp, SkippedSearchesWouldNotMatch.
std::string_view FindDefineName(std::string_view text) {
  if (!Contains(text, "#define", 0)) return {};
  text = CutAtLineTerminator(text);
  for (std::size_t at = text.size(); (at = FindLast(text.substr(0, at), '#')) != std::string_view::npos;) {
    if (at == 0 || text[at - 1] != ' ' || text.substr(at, 7) != "#define") continue;
    std::size_t name = at + 7;
    while (name < text.size() && text[name] == ' ') ++name;
    if (name == at + 7) continue;
    std::size_t end = name;
    while (end < text.size() && IsNameChar(text[end])) ++end;
    if (end > name) return text.substr(name, end - name);
  }
  return {};
}

// Searched by hand because the pattern's backtracking is quadratic in the
// number of such words before a carriage return. Why this equals the
// pattern: tests/LineScannerTest.cpp, ExternWordsMatchReference.
std::size_t FindExternWord(std::string_view statement) {
  if (!Contains(statement, "extern", 1) || HasLineTerminator(statement)) return std::string_view::npos;
  std::size_t at = statement.size();
  while (at > 0) {
    at = statement.rfind("extern", at - 1);
    if (at == std::string_view::npos) break;
    if (at > 0 && statement[at - 1] == ' ' && at + 6 < statement.size() && statement[at + 6] == ' ') return at;
  }
  return std::string_view::npos;
}

}  // namespace skerry
