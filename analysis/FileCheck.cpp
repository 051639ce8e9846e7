#include "analysis/FileCheck.h"

#include "analysis/DeclarationRecord.h"
#include "analysis/LineScanner.h"
#include "analysis/NamingRules.h"
#include "analysis/ParameterScanner.h"
#include "analysis/PatternTable.h"
#include "analysis/UserTypeList.h"

namespace skerry {

std::string ModuleName(std::string_view fileName) {
  std::string name = ExtensionPattern.ReplaceAll(TrimBlanks(fileName), "");
  std::size_t underscore = name.find('_');
  if (underscore != std::string::npos) name.resize(underscore);
  return name;
}

void CheckFileNameRules(std::string_view moduleName, std::string_view path, DiagnosticList& diagnostics) {
  if (DoubleUpperPattern.WholeMatch(moduleName)) {
    ReportViolation(diagnostics, path, 0, "two upper case letters in filename are not allowed");
  }
  if (!AlnumNamePattern.WholeMatch(moduleName)) {
    ReportViolation(diagnostics, path, 0, "only letters and numbers are allowed for filename");
  }
}

namespace {

// The type pass line by line from the last line, then the declaration pass.
// Returns the first-function line, which starts at the line count.
int32_t ScanBothPasses(const SourceLines& lines, DeclarationTable& table, UserTypeList& userTypes) {
  int32_t firstFunctionLine = lines.Count();
  lines.ForEachReverse([&](std::string_view line, int32_t number) {
    ScanLine(line, number, table, userTypes, true, firstFunctionLine);
  });
  ReverseScan(lines, table, userTypes, false, firstFunctionLine);
  return firstFunctionLine;
}

}  // namespace

void CheckFileConventions(const SourceLines& fileLines, std::string_view fileName, std::string_view path,
                          const SourceLines& headerLines, DiagnosticList& diagnostics) {
  const std::string moduleName = ModuleName(fileName);
  CheckFileNameRules(moduleName, path, diagnostics);

  DeclarationTable table;
  UserTypeList userTypes;
  // The header's records are dropped; the types it taught stay known.
  ScanBothPasses(headerLines, table, userTypes);
  table.clear();

  int32_t firstFunctionLine = ScanBothPasses(fileLines, table, userTypes);
  CheckNamingRules(table, moduleName, path, firstFunctionLine, diagnostics);
}

}  // namespace skerry
