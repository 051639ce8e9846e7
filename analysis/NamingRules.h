// The house naming convention, checked over one file's declaration table.
#ifndef SKERRY_ANALYSIS_NAMING_RULES_H
#define SKERRY_ANALYSIS_NAMING_RULES_H

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "report/Diagnostics.h"

namespace skerry {

// Reports every name of table that does not have the form module part +
// type prefix + rest, enumeration bodies that are not upper case, arrays
// without "_List", and type names without the module part. Sorts the table
// by line (greatest first) and clears isFileScope at and after
// firstFunctionLine.
void CheckNamingRules(DeclarationTable& table, std::string_view moduleName, std::string_view path,
                      int32_t firstFunctionLine, DiagnosticList& diagnostics);

// "LedDriver" -> "LED_DRIVER_": "_" between a lower-case letter and an
// upper-case one, upper-cased, "_" appended.
std::string UpperModulePrefix(std::string_view moduleName);

}  // namespace skerry

#endif
