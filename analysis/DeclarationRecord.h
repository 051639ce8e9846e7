// What the line scanner learns about one declared name, and the per-file
// table of such records.
#ifndef SKERRY_ANALYSIS_DECLARATION_RECORD_H
#define SKERRY_ANALYSIS_DECLARATION_RECORD_H

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "analysis/DeclarationKinds.h"

namespace skerry {

// The texts are views: into the file's loaded lines where the scanner took
// them unchanged, otherwise into the texts of the record's table.
struct DeclarationRecord {
  // The declared identifier, trimmed, with commas and semicolons removed.
  // May hold asterisks (a pointer written against the name after a user
  // type). Never empty in a stored record.
  std::string_view name;
  // Name after the closing brace of a typedef enum/struct/union, or the user
  // type a declaration was made with; otherwise empty.
  std::string_view typeName;
  // The scanner's statement text when the record was entered.
  std::string_view declarationText;
  int32_t line = 0;
  BaseType baseType = BaseType::kNone;
  TypedefKind typedefKind = TypedefKind::kNone;
  DeclaratorKind declarator = DeclaratorKind::kNone;
  bool isExtern = false;
  bool isPointer = false;   // the type text holds "*"
  bool isFileScope = true;  // before the first function (set by the naming rules)
};

// The records of one file in the order they were appended, and the copies
// of the texts that are not pieces of the file's lines. Views into the lines
// stay valid as long as the lines do.
class DeclarationTable {
 public:
  using Records = std::deque<DeclarationRecord>;

  void push_back(const DeclarationRecord& record) { records_.push_back(record); }
  // A copy of text that stays valid until the table is cleared.
  std::string_view Keep(std::string_view text) { return text.empty() ? text : texts_.emplace_back(text); }
  void clear() { *this = DeclarationTable(); }

  std::size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  Records::iterator begin() { return records_.begin(); }
  Records::iterator end() { return records_.end(); }
  Records::const_iterator begin() const { return records_.begin(); }
  Records::const_iterator end() const { return records_.end(); }
  Records::reverse_iterator rbegin() { return records_.rbegin(); }
  Records::reverse_iterator rend() { return records_.rend(); }

 private:
  Records records_;
  std::deque<std::string> texts_;
};

}  // namespace skerry

#endif
