// Recognises at most one declared name on one line of C source.
#ifndef SKERRY_ANALYSIS_LINE_SCANNER_H
#define SKERRY_ANALYSIS_LINE_SCANNER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "analysis/Pattern.h"
#include "analysis/Prefilter.h"
#include "analysis/UserTypeList.h"

namespace skerry {

// One test of the type chain or of the typedef tests: the pattern, the flag
// it sets, and what the text's type word must begin with for the pattern to
// have a chance (see TypeWord); the scanner searches only when it may.
struct TypeTest {
  const Pattern* pattern;
  bool DeclarationRecord::*flag;
  TypeWordLead lead;
};
// The type chain of the declaration pass and the typedef tests, in the order
// in which they are tried.
extern const TypeTest kTypeChain[12];
extern const TypeTest kTypedefTests[4];

// What is known of every line of a text before its lines are scanned, so
// that MayDeclare need not look for it line by line: a fact that is false
// says that no line holds that thing. The defaults know nothing.
struct LineFacts {
  bool mayHoldLineTerminator = true;  // a line feed or carriage return
  bool mayHoldTypedef = true;         // the word "typedef"
};

// Scans one line. In the type pass (typePass true) it only learns user type
// names into userTypes and enters records for typedefs of enum, struct and
// union; in the declaration pass it enters a record for a recognised
// declaration, handing a function's parameter text to ScanParameterList
// first. Either pass lowers firstFunctionLine to lineNumber when the line
// holds a function declarator.
//
// facts may tell what none of the lines of the text holds (see LineFacts).
void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine, const LineFacts& facts);
void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine);

// ScanLine without its first test, which tells from the line as it stands
// that the scan cannot have any effect (for tests of that first test).
void ScanLineFully(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
                   bool typePass, int32_t& firstFunctionLine);

// Whether ScanLine in the declaration pass can have any effect for line with
// these user types. False only where it would certainly enter nothing, call
// nothing and leave the first-function line as it is; ScanLine then returns
// without preparing the line.
bool MayDeclare(std::string_view line, const UserTypeList& userTypes, const LineFacts& facts = {});

// The macro name that a search with the documented pattern
// "^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*" takes as group 2, found by
// hand; empty when the pattern does not match.
std::string_view FindDefineName(std::string_view text);

// Removes white space (space, tab, line feed, vertical tab, form feed,
// carriage return) from both ends.
std::string_view TrimBlanks(std::string_view text);

// The statement text of a line: one blank, the prepared line and one blank.
// The prepared line is the line with every tab replaced by two blanks (empty
// when the line is a first-column comment), every backslash replaced by a
// blank, the qualifier words const, volatile, static and inline (any case
// for inline) that a blank follows removed, and trimmed. Returns
// false when the prepared line is empty; statement is then unspecified.
bool PrepareStatement(std::string_view lineText, std::string& statement);

}  // namespace skerry

#endif
