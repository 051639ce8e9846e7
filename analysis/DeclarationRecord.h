// What the line scanner learns about one declared name, and the per-file
// table of such records.
#ifndef SKERRY_ANALYSIS_DECLARATION_RECORD_H
#define SKERRY_ANALYSIS_DECLARATION_RECORD_H

#include <cstdint>
#include <deque>
#include <string>

namespace skerry {

struct DeclarationRecord {
  // The declared identifier, trimmed, with commas and semicolons removed.
  // May hold asterisks (a pointer written against the name after a user
  // type). Never empty in a stored record.
  std::string name;
  int32_t line = 0;

  bool isExtern = false;
  bool isPointer = false;
  bool isVariable = false;
  bool isTypedefStruct = false;
  bool isTypedefEnum = false;
  bool isTypedef = false;
  bool isUint32 = false;
  bool isUint16 = false;
  bool isUint = false;
  bool isSint = false;
  bool isUint8 = false;
  bool isSint32 = false;
  bool isUserType = false;
  bool isSint16 = false;
  bool isSint8 = false;
  bool isFloat32 = false;
  bool isFloat64 = false;
  bool isBool = false;
  bool isVoid = false;
  bool isTypedefUnion = false;
  bool isArray = false;
  bool isFunction = false;
  bool isDeclaration = false;
  bool isDefine = false;
  bool isFileScope = true;

  // Name after the closing brace of a typedef enum/struct/union, or the user
  // type a declaration was made with; otherwise empty.
  std::string typeName;
  // The scanner's statement text when the record was entered.
  std::string declarationText;
};

// Records of one file in the order they were appended.
using DeclarationTable = std::deque<DeclarationRecord>;

}  // namespace skerry

#endif
