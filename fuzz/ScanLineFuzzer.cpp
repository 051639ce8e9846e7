// libFuzzer target over the file scanner's ScanLine, with oracles for the hand-written parts of
// the scanner that stand in for patterns.
//
// Input: user type names separated by blanks, a line feed, then the line.
// The names are taught to the user-type list first; the line is then run
// through the type pass and the declaration pass. On short inputs the
// results of the hand-written code are compared with the patterns it
// replaces, and any difference aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "analysis/LineScanner.h"
#include "analysis/Pattern.h"
#include "analysis/StatementPreparation.h"
#include "analysis/UserTypeList.h"
#include "tests/AnalysisTestSupport.h"
#include "tests/reference/ReferencePatterns.h"

namespace {

using skerry::MatchGroups;
using skerry::Pattern;

// The oracles run the backtracking patterns, which are quadratic or worse on
// long texts; they are used on short inputs only.
constexpr std::size_t kOracleLimit = 512;

void Expect(bool condition) {
  if (!condition) std::abort();
}

// A type name the scanner could have learnt: no blank, tab, backslash (they
// are blanked), parenthesis, brace, "=" or ";" (the declarator patterns stop
// there), and not beginning with "?" (that would turn the entry's group into
// an extension group and shift the numbering of the whole alternation).
bool LearnableName(std::string_view name) {
  if (!name.empty() && name[0] == '?') return false;
  return name.find_first_of(" \t\\(){}=;") == std::string_view::npos;
}

// The statement preparation against the documented patterns applied step by
// step (tabs, first-column comment, backslashes, qualifier loop, trimming).
void CheckStatement(std::string_view text) {
  std::string statement;
  if (!skerry::PrepareStatement(text, statement)) statement.clear();
  Expect(statement == skerry::reference::LiteralStatement(text));
}

void CheckDefinePattern(std::string_view text) {
  static const Pattern documented(skerry::reference::kDefinePatternText);
  std::string statement = " " + std::string(text) + " ";
  MatchGroups expected;
  bool expectedFound = documented.Search(statement, expected);
  const std::string_view name = skerry::FindDefineName(statement);
  Expect(expectedFound == !name.empty());
  if (expectedFound) Expect(expected[2] == name);
}

void CheckUserTypeSearch(const skerry::UserTypeList& userTypes, std::string_view text) {
  if (userTypes.empty()) return;
  std::string statement = " " + std::string(text) + " ";
  const std::string list = skerry::test::UserTypeListPeer::Text(userTypes);
  Pattern literal("(" + list + ")", Pattern::kIgnoreCase);
  std::string_view typeGroup;
  std::string_view restGroup;
  bool found = userTypes.Find(statement, typeGroup, restGroup);
  if (!literal.Valid() || skerry::test::Invalid(userTypes)) {
    Expect(!found);
    return;
  }
  // A name the type pass learnt may begin with "?", which turns its entry's
  // group into a group modifier: "(?#", "(?<" and the like are no
  // ECMAScript and make the whole list invalid (PCRE2 alone would accept
  // them); "(?:", "(?=" and "(?!" shift the group numbers of the literal
  // alternation, so its groups cannot be compared.
  bool modifier = false;
  for (std::size_t at = list.find("[( ])(?"); at != std::string::npos; at = list.find("[( ])(?", at + 1)) {
    char next = at + 7 < list.size() ? list[at + 7] : '\0';
    Expect(next == ':' || next == '=' || next == '!');
    modifier = true;
  }
  if (modifier) return;
  MatchGroups groups;
  bool expected = literal.Search(statement, groups);
  Expect(found == expected);
  if (!expected) return;
  for (std::size_t entry = 0; entry < userTypes.size(); ++entry) {
    std::size_t first = 2 + 3 * entry;
    if (!groups.Participated(first)) continue;
    Expect(typeGroup == groups[first + 1]);
    Expect(restGroup == groups[first + 2]);
    return;
  }
  Expect(false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view names;
  std::string_view line = input;
  std::size_t feed = input.find('\n');
  if (feed != std::string_view::npos) {
    names = input.substr(0, feed);
    line = input.substr(feed + 1);
  }

  skerry::UserTypeList userTypes;
  while (!names.empty()) {
    std::size_t blank = names.find(' ');
    std::string_view name = names.substr(0, blank);
    if (LearnableName(name)) userTypes.Append(name);
    names = blank == std::string_view::npos ? std::string_view() : names.substr(blank + 1);
  }

  skerry::DeclarationTable table;
  skerry::FileScanner scanner(table, userTypes, 7);
  scanner.ScanLine(line, 5, skerry::FileScanner::Pass::kType);
  scanner.ScanLine(line, 5, skerry::FileScanner::Pass::kDeclaration);
  for (const skerry::DeclarationRecord& record : table) Expect(!record.name.empty() && record.line == 5);
  Expect(scanner.FirstFunctionLine() == 7 || scanner.FirstFunctionLine() == 5);

  if (size <= kOracleLimit) {
    CheckStatement(line);
    CheckDefinePattern(line);
    CheckUserTypeSearch(userTypes, line);
  }
  return 0;
}
