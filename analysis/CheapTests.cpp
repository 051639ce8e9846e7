#include "analysis/CheapTests.h"

#include <algorithm>
#include <array>
#include <vector>

#include "analysis/StatementPreparation.h"
#include "analysis/TextHelpers.h"

namespace skerry {

namespace {

// The first letters of the leads of the type chain, in both cases, and "s"
// and "S" for leads after a run of them.
const std::array<bool, 256>& LeadFirstLetters() {
  static const std::array<bool, 256> kFirst = [] {
    std::array<bool, 256> first{};
    auto mark = [&first](char c) {
      first[static_cast<unsigned char>(c)] = true;
      first[static_cast<unsigned char>(c - 'a' + 'A')] = true;
    };
    for (const BaseTypeEntry& entry : kBaseTypes) {
      if (!entry.lead.lead.empty()) mark(entry.lead.lead[0]);
      if (!entry.lead.otherLead.empty()) mark(entry.lead.otherLead[0]);
      if (entry.lead.skipS) mark('s');
    }
    return first;
  }();
  return kFirst;
}

// Whether word fits the lead of at least one base type of the chain. Most
// words are ruled out by their first character alone, which is looked at
// first. Only the shortest leads are tried: "uint8" to "uint32" fit only
// where "uint" does, "int8" to "int32" only where "int" does, "float64" only
// where "float" does.
bool FitsAnyTypeChainLead(std::string_view word) {
  static const std::vector<TypeWordLead> kShortestLeads = [] {
    std::vector<TypeWordLead> all;
    for (const BaseTypeEntry& entry : kBaseTypes) {
      for (std::string_view lead : {entry.lead.lead, entry.lead.otherLead}) {
        if (!lead.empty()) all.push_back({lead, {}, entry.lead.skipS});
      }
    }
    std::vector<TypeWordLead> shortest;
    for (const TypeWordLead& lead : all) {
      const bool covered = std::any_of(all.begin(), all.end(), [&lead](const TypeWordLead& other) {
        return other.skipS == lead.skipS && other.lead.size() < lead.lead.size() &&
               lead.lead.substr(0, other.lead.size()) == other.lead;
      });
      if (!covered) shortest.push_back(lead);
    }
    return shortest;
  }();
  if (word.empty() || !LeadFirstLetters()[static_cast<unsigned char>(word[0])]) return false;
  for (const TypeWordLead& lead : kShortestLeads) {
    if (TypeWordMayFit(word, lead)) return true;
  }
  return false;
}

// Whether a word beginning with c can fit a lead of the type chain or be
// passed over in front of the type word: the first letters of the leads,
// those of the qualifier words (c, v, s, i, I) and of "extern".
bool MayBeginTypeWord(char c) {
  static const std::array<bool, 256> kBegins = [] {
    std::array<bool, 256> begins = LeadFirstLetters();
    for (char letter : {'c', 'v', 's', 'i', 'I', 'e'}) begins[static_cast<unsigned char>(letter)] = true;
    return begins;
  }();
  return kBegins[static_cast<unsigned char>(c)];
}

}  // namespace

bool MayDeclareType(std::string_view line) { return Contains(line, "typedef", 1); }

bool MayDeclare(std::string_view line, const UserTypeList& userTypes, const LineFacts& facts) {
  if (IsLineComment(line)) return false;  // prepared empty
  if ((facts.mayHoldLineTerminator && HasLineTerminator(line)) || Contains(line, "#define", 0) ||
      (facts.mayHoldTypedef && Contains(line, "typedef", 1))) {
    return true;
  }

  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (IsBlank(line[i]) || line[i] == '\\')) ++i;
    if (i == line.size() || !MayBeginTypeWord(line[i])) break;  // most lines end here
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\\') ++i;
    const std::string_view word = line.substr(start, i - start);
    if (word.empty()) break;
    const std::string_view kept = word.substr(0, WithoutTrailingQualifiers(word.data(), word.size()));
    if (kept.empty() || kept == "extern") continue;
    if (FitsAnyTypeChainLead(word)) return true;
    break;
  }

  switch (userTypes.FindReach()) {
    case UserTypeList::Reach::kNothing:
      return false;
    case UserTypeList::Reach::kAnything:
      return true;
    case UserTypeList::Reach::kPlainNames:
      break;
  }
  for (std::size_t at = 0; at < line.size();) {
    if (!IsNameChar(line[at])) {
      ++at;
      continue;
    }
    const std::size_t start = at;
    while (at < line.size() && IsNameChar(line[at])) ++at;
    const std::string_view run = line.substr(start, at - start);
    if (userTypes.HasPlainName(run)) return true;
    const std::size_t kept = WithoutTrailingQualifiers(run.data(), run.size());
    if (kept > 0 && kept < run.size() && userTypes.HasPlainName(run.substr(0, kept))) return true;
  }
  return false;
}

}  // namespace skerry
