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

// One declared name. Its type name and declaration text are kept by its
// table (DeclarationTable::TypeName, DeclarationText), and only where a
// naming rule reads them, so that a file of many declarations stays small.
struct DeclarationRecord {
  // The declared identifier, trimmed, with commas and semicolons removed.
  // May hold asterisks (a pointer written against the name after a user
  // type). Never empty in a stored record. A view into the file's loaded
  // lines, or into a copy kept by the table.
  std::string_view name;
  int32_t line = 0;
  uint32_t texts = kNoTexts;  // the table's texts of the record; set by the table
  BaseType baseType = BaseType::kNone;
  TypedefKind typedefKind = TypedefKind::kNone;
  DeclaratorKind declarator = DeclaratorKind::kNone;
  bool isExtern = false;
  bool isPointer = false;   // the type text holds "*"
  bool isFileScope = true;  // before the first function (set by the naming rules)

  static constexpr uint32_t kNoTexts = UINT32_MAX;
};
static_assert(sizeof(DeclarationRecord) <= 32, "a record of every declaration of a large file must stay small");

// The records of one file in the order they were appended, their texts, and
// the copies of the texts that are not pieces of the file's lines. Views
// into the lines stay valid as long as the lines do.
class DeclarationTable {
 public:
  using Records = std::deque<DeclarationRecord>;

  // Whether the naming rules read the declaration text of a record of these
  // kinds: that of a typedef enum (its body), of a typedef struct or union
  // (member exemption) and of an array ("_List").
  static bool ReadsDeclarationText(const DeclarationRecord& record) {
    return IsCompound(record.typedefKind) || record.declarator == DeclaratorKind::kArray;
  }

  // Appends record with its texts, which must stay valid as long as the
  // table (views into the lines, or copies made by Keep). typeName is the
  // name after the closing brace of a typedef enum/struct/union, or the user
  // type the declaration was made with, else empty; declarationText the
  // scanner's statement text when the record was entered, kept only where
  // ReadsDeclarationText (else DeclarationText gives an empty text).
  void push_back(DeclarationRecord record, std::string_view typeName = {}, std::string_view declarationText = {}) {
    if (!ReadsDeclarationText(record)) declarationText = {};
    record.texts = DeclarationRecord::kNoTexts;
    if (!typeName.empty() || !declarationText.empty()) {
      record.texts = static_cast<uint32_t>(texts_.size());
      texts_.push_back({typeName, declarationText});
    }
    records_.push_back(record);
  }
  std::string_view TypeName(const DeclarationRecord& record) const {
    return record.texts == DeclarationRecord::kNoTexts ? std::string_view() : texts_[record.texts].typeName;
  }
  std::string_view DeclarationText(const DeclarationRecord& record) const {
    return record.texts == DeclarationRecord::kNoTexts ? std::string_view() : texts_[record.texts].declarationText;
  }

  // A copy of text that stays valid until the table is cleared.
  std::string_view Keep(std::string_view text) { return text.empty() ? text : copies_.emplace_back(text); }
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
  struct Texts {
    std::string_view typeName;
    std::string_view declarationText;
  };

  Records records_;
  std::deque<Texts> texts_;
  std::deque<std::string> copies_;
};

}  // namespace skerry

#endif
