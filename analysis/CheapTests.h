// The cheap tests in front of the scanner's patterns. Each one answers
// "cannot match" or "no effect" only where the full scan would find nothing
// on the same text, so skipping the scan then gives the same result;
// tests/PrefilterTest.cpp compares every test with the plain search, and the
// scanner can run without them (ScanMode::cheapTests).
#ifndef SKERRY_ANALYSIS_CHEAP_TESTS_H
#define SKERRY_ANALYSIS_CHEAP_TESTS_H

#include <string_view>

#include "analysis/DeclarationKinds.h"
#include "analysis/TextHelpers.h"
#include "analysis/UserTypeList.h"

namespace skerry {

// The type word of a text as the type and typedef patterns see it: the view
// from the first letter after the first run of blanks, when that run comes
// before any "(" or ","; otherwise empty (tests/PrefilterTest.cpp,
// SkippedSearchesWouldNotMatch).
inline std::string_view TypeWord(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] != ' ' && text[i] != '(' && text[i] != ',') ++i;
  if (i == text.size() || text[i] != ' ') return std::string_view();
  while (i < text.size() && text[i] == ' ') ++i;
  return text.substr(i);
}

// False when a pattern with this lead certainly does not match a text whose
// type word is word.
inline bool TypeWordMayFit(std::string_view word, const TypeWordLead& lead) {
  auto startsWith = [](std::string_view text, std::string_view lowerPrefix) {
    if (lowerPrefix.empty() || text.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
      if (LowerAscii(text[i]) != lowerPrefix[i]) return false;
    }
    return true;
  };
  if (lead.skipS) {
    while (!word.empty() && (word.front() == 's' || word.front() == 'S')) word.remove_prefix(1);
  }
  return startsWith(word, lead.lead) || startsWith(word, lead.otherLead);
}

// What is known of every line of a text before its lines are scanned, so
// that MayDeclare need not look for it line by line: a fact that is false
// says that no line holds that thing. The defaults know nothing.
struct LineFacts {
  bool mayHoldLineTerminator = true;  // a line feed or carriage return
  bool mayHoldTypedef = true;         // the word "typedef"
};

// Whether the type pass can have any effect for line: false for a line
// without the word "typedef" (tests/PrefilterTest.cpp,
// LinesPassedOverHaveNoEffect, gives the reason).
bool MayDeclareType(std::string_view line);

// Whether the declaration pass can have any effect for line with these user
// types: false only where it would certainly enter nothing, call nothing and
// leave the first-function line as it is (tests/PrefilterTest.cpp,
// LinesPassedOverHaveNoEffect, gives the reason).
bool MayDeclare(std::string_view line, const UserTypeList& userTypes, const LineFacts& facts = {});

}  // namespace skerry

#endif
