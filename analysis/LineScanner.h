// Recognises at most one declared name on one line of C source.
#ifndef SKERRY_ANALYSIS_LINE_SCANNER_H
#define SKERRY_ANALYSIS_LINE_SCANNER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "analysis/UserTypeList.h"

namespace skerry {

// Scans one line. In the type pass (typePass true) it only learns user type
// names into userTypes and enters records for typedefs of enum, struct and
// union; in the declaration pass it enters a record for a recognised
// declaration, handing a function's parameter text to ScanParameterList
// first. Either pass lowers firstFunctionLine to lineNumber when the line
// holds a function declarator.
void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine);

// Removes white space (space, tab, line feed, vertical tab, form feed,
// carriage return) from both ends.
std::string_view TrimBlanks(std::string_view text);

// Removes the qualifier words const, volatile, static and inline (any case
// for inline) that are followed by a blank, as repeatedly replacing the line
// by groups 1 and 3 of QualifierPattern while it matches would.
void RemoveQualifiers(std::string& line);

}  // namespace skerry

#endif
