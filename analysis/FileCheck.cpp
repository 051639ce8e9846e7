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

// The type pass, line by line from the last line. Only a line holding the
// word "typedef" can have an effect in it (see ScanLine), so a text without
// the word is not visited at all.
void TypePass(const SourceLines& lines, DeclarationTable& table, UserTypeList& userTypes, int32_t& firstFunctionLine) {
  if (kCheapTests && !lines.Contains("typedef", 1)) return;
  lines.ForEachReverse([&](std::string_view line, int32_t number) {
    ScanLine(line, number, table, userTypes, true, firstFunctionLine);
  });
}

}  // namespace

void CheckFileConventions(const SourceLines& fileLines, std::string_view fileName, std::string_view path,
                          const SourceLines& headerLines, DiagnosticList& diagnostics) {
  const std::string moduleName = ModuleName(fileName);
  CheckFileNameRules(moduleName, path, diagnostics);

  DeclarationTable table;
  UserTypeList userTypes;
  // The header's records are dropped; the types it taught stay known. Only
  // its type pass is run: its declaration pass would append records to the
  // table, which is cleared right after, and lower a first-function line
  // that is not used; it never adds user types. Leaving it out changes
  // nothing (a build without the cheap tests still runs it, and prints the
  // same).
  int32_t headerFirstFunctionLine = headerLines.Count();
  TypePass(headerLines, table, userTypes, headerFirstFunctionLine);
  if (!kCheapTests) ReverseScan(headerLines, table, userTypes, false, headerFirstFunctionLine);
  table.clear();

  int32_t firstFunctionLine = fileLines.Count();
  TypePass(fileLines, table, userTypes, firstFunctionLine);
  ReverseScan(fileLines, table, userTypes, false, firstFunctionLine);
  CheckNamingRules(table, moduleName, path, firstFunctionLine, diagnostics);
}

}  // namespace skerry
