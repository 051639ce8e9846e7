// The user-defined type names a file's type pass has learnt, and the
// user-type test of the declaration pass.
#ifndef SKERRY_ANALYSIS_USER_TYPE_LIST_H
#define SKERRY_ANALYSIS_USER_TYPE_LIST_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analysis/Pattern.h"

namespace skerry {

namespace test {
class UserTypeListPeer;
}

// Conceptually the text of alternatives "(^.*[( ])(" + name + "[ *])(.*)"
// joined by "|", searched case-insensitively as "(" + list + ")": the first
// entry in list order that matches decides, and within an entry the greedy
// "^.*" takes the last place where the name stands after a blank or "(" and
// before a blank or "*".
//
// A type name never holds a parenthesis (the declarator patterns that take
// names exclude them), so every entry's groups are self-contained and the
// alternation is equivalent to testing the entries one by one in list order.
// That is what Find does, without ever compiling the whole alternation:
//   - a name made only of letters, digits and "_" (the usual case, and the
//     empty name) is matched by hand: such a name can only stand as a whole
//     run of those characters, so the statement's runs are looked up in a
//     hash of the entries' lower-cased names;
//   - any other name is compiled once as its own entry pattern (cached by
//     text) and searched in list order.
// When any entry does not compile, the whole alternation would not compile:
// the list is then invalid and finds nothing, for the rest of the file.
// One known difference: a name beginning with "?:" makes its entry's group
// non-capturing, which in the literal alternation would shift the numbering
// of later entries; such a name cannot come from real C code and its entry
// is treated like any other.
class UserTypeList {
 public:
  // Entries that are not plain names are compiled by engine.
  explicit UserTypeList(const PatternEngine& engine = PatternEngine::Product()) : engine_(&engine) {}

  // Appends the entry for typeName (inserted without escaping).
  void Append(std::string_view typeName);
  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  static std::string EntryText(std::string_view typeName);

  // Searches statement. On a match, typeGroup is the matching entry's type
  // group (the name with the blank or "*" after it) and restGroup its rest
  // group, both views into statement. An invalid list or an engine error
  // during the search gives false. tests/reference/PatternConformanceTest.cpp,
  // UserTypeListFindMatchesAlternation, compares it with the alternation.
  bool Find(std::string_view statement, std::string_view& typeGroup, std::string_view& restGroup) const;

  // What Find can match, for the line scanner's cheap test in front of it:
  // nothing at all (an empty or invalid list), only the names of plain
  // entries as whole runs of the statement, or anything (the list holds the
  // empty name or a name matched by a pattern).
  enum class Reach { kNothing, kPlainNames, kAnything };
  Reach FindReach() const;
  // Whether name, in any letter case, is the name of a plain entry.
  bool HasPlainName(std::string_view name) const;

 private:
  friend class test::UserTypeListPeer;  // reads the entries

  // A bit per hash of a lower-cased plain name: a name whose bit is clear is
  // certainly not in plainEntries_, which spares most hash-table lookups
  // (and the lower-cased copy of the name they need).
  static constexpr std::size_t kFilterBits = 1 << 14;
  static std::size_t FilterBit(std::string_view name);
  bool MayBePlainName(std::string_view name) const;

  struct Entry {
    std::string name;
    std::shared_ptr<const Pattern> pattern;  // only for names matched by a pattern
  };
  const PatternEngine* engine_;
  std::vector<Entry> entries_;
  // Lower-cased plain name -> index of its first entry.
  std::unordered_map<std::string, std::size_t> plainEntries_;
  std::vector<std::size_t> patternEntries_;  // ascending
  std::size_t emptyEntry_ = static_cast<std::size_t>(-1);
  bool invalid_ = false;
  std::vector<uint64_t> filter_;  // kFilterBits bits once a plain entry exists
};

}  // namespace skerry

#endif
