// The parameter-list scanner and the reverse pass over a file's lines.
#ifndef SKERRY_ANALYSIS_PARAMETER_SCANNER_H
#define SKERRY_ANALYSIS_PARAMETER_SCANNER_H

#include <cstdint>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "analysis/SourceLines.h"
#include "analysis/UserTypeList.h"

namespace skerry {

// Splits the parameter text that follows a function name ("(uint8 a, ...")
// into parameters and scans each one as a line of its own (declaration
// pass) with the function's line number.
void ScanParameterList(std::string_view parameterText, DeclarationTable& table, UserTypeList& userTypes,
                       int32_t lineNumber, int32_t& firstFunctionLine);

// Scans every line from the last to the first; with typePass set it runs
// the type pass and then the declaration pass.
void ReverseScan(const SourceLines& lines, DeclarationTable& table, UserTypeList& userTypes, bool typePass,
                 int32_t& firstFunctionLine);

}  // namespace skerry

#endif
