#include "analysis/UserTypeList.h"

#include <cstring>

#include "analysis/TextHelpers.h"

namespace skerry {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool IsPlainName(std::string_view name) {
  for (char c : name) {
    if (!IsNameChar(c)) return false;
  }
  return true;
}

// A name beginning with "?" turns the "(" in front of it into a group
// modifier. ECMAScript knows only "(?:", "(?=" and "(?!"; PCRE2 also accepts
// named groups, atomic groups, comments and option settings. Those names
// make the entry invalid, as they are in ECMAScript.
bool HasEngineOnlyGroupSyntax(std::string_view name) {
  return !name.empty() && name[0] == '?' && (name.size() < 2 || (name[1] != ':' && name[1] != '=' && name[1] != '!'));
}

}  // namespace

std::string UserTypeList::EntryText(std::string_view typeName) {
  std::string text = "(^.*[( ])(";
  text.append(typeName);
  text.append("[ *])(.*)");
  return text;
}

void UserTypeList::Append(std::string_view typeName) {
  std::size_t index = entries_.size();
  Entry entry;
  entry.name = std::string(typeName);
  if (typeName.empty()) {
    if (emptyEntry_ == kNone) emptyEntry_ = index;
  } else if (IsPlainName(typeName)) {
    std::string key;
    key.reserve(typeName.size());
    for (char c : typeName) key.push_back(LowerAscii(c));
    if (filter_.empty()) filter_.assign(kFilterBits / 64, 0);
    std::size_t bit = FilterBit(key);
    filter_[bit / 64] |= uint64_t{1} << (bit % 64);
    plainEntries_.emplace(std::move(key), index);  // keeps the first entry of a name
  } else {
    entry.pattern = Pattern::Cached(EntryText(typeName), Pattern::kIgnoreCase, *engine_);
    if (!entry.pattern->Valid() || HasEngineOnlyGroupSyntax(typeName)) invalid_ = true;
    patternEntries_.push_back(index);
  }
  entries_.push_back(std::move(entry));
}

bool UserTypeList::Find(std::string_view statement, std::string_view& typeGroup, std::string_view& restGroup) const {
  if (invalid_ || entries_.empty()) return false;

  // "." stops at a line terminator, so an entry's "^.*" prefix, name and
  // "(.*)" rest all lie before the first one.
  const std::string_view text = CutAtLineTerminator(statement);

  std::size_t best = kNone;
  std::size_t bestStart = 0;   // where the name starts
  std::size_t bestLength = 0;  // length of the name

  if (!plainEntries_.empty()) {
    std::string key;
    std::size_t i = 0;
    while (i < text.size()) {
      if (!IsNameChar(text[i])) {
        ++i;
        continue;
      }
      std::size_t start = i;
      while (i < text.size() && IsNameChar(text[i])) ++i;
      if (start == 0 || (text[start - 1] != ' ' && text[start - 1] != '(')) continue;
      if (i >= text.size() || (text[i] != ' ' && text[i] != '*')) continue;
      if (!MayBePlainName(text.substr(start, i - start))) continue;
      key.assign(text.substr(start, i - start));
      for (char& c : key) c = LowerAscii(c);
      auto found = plainEntries_.find(key);
      if (found == plainEntries_.end()) continue;
      // Later places of the same entry win (greedy prefix); a lower index wins over any place.
      if (best == kNone || found->second < best || (found->second == best && start > bestStart)) {
        best = found->second;
        bestStart = start;
        bestLength = i - start;
      }
    }
  }
  if (emptyEntry_ != kNone && (best == kNone || emptyEntry_ < best)) {
    // The empty name: the last place where a blank or "(" is followed by a blank or "*".
    for (std::size_t p = text.size(); p-- > 1;) {
      if ((text[p - 1] == ' ' || text[p - 1] == '(') && (text[p] == ' ' || text[p] == '*')) {
        best = emptyEntry_;
        bestStart = p;
        bestLength = 0;
        break;
      }
    }
  }
  MatchGroups groups;
  for (std::size_t index : patternEntries_) {
    if (best != kNone && index > best) break;
    SearchOutcome outcome = entries_[index].pattern->SearchDetailed(statement, groups);
    if (outcome == SearchOutcome::EngineError) return false;
    if (outcome == SearchOutcome::Match) {
      typeGroup = groups[2];
      restGroup = groups[3];
      return true;
    }
  }
  if (best == kNone) return false;
  typeGroup = text.substr(bestStart, bestLength + 1);
  restGroup = text.substr(bestStart + bestLength + 1);
  return true;
}

UserTypeList::Reach UserTypeList::FindReach() const {
  if (invalid_ || entries_.empty()) return Reach::kNothing;
  if (emptyEntry_ != kNone || !patternEntries_.empty()) return Reach::kAnything;
  return Reach::kPlainNames;
}

std::size_t UserTypeList::FilterBit(std::string_view name) {
  uint32_t hash = 2166136261u;  // FNV-1a over the lower-cased name
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 16777619u;
  return (hash ^ (hash >> 16)) % kFilterBits;
}

bool UserTypeList::MayBePlainName(std::string_view name) const {
  if (filter_.empty()) return false;
  std::size_t bit = FilterBit(name);
  return (filter_[bit / 64] >> (bit % 64) & 1u) != 0;
}

bool UserTypeList::HasPlainName(std::string_view name) const {
  if (!MayBePlainName(name)) return false;
  std::string key(name);
  for (char& c : key) c = LowerAscii(c);
  return plainEntries_.count(key) != 0;
}

}  // namespace skerry
