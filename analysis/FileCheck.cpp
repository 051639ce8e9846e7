#include "analysis/FileCheck.h"

#include "analysis/DeclarationRecord.h"
#include "analysis/NamingRules.h"
#include "analysis/TextHelpers.h"
#include "analysis/UserTypeList.h"

namespace skerry {

std::string ModuleName(std::string_view fileName, const PatternTable& patterns) {
  std::string name = patterns.extension.ReplaceAll(TrimBlanks(fileName), "");
  std::size_t underscore = name.find('_');
  if (underscore != std::string::npos) name.resize(underscore);
  return name;
}

void CheckFileNameRules(std::string_view moduleName, std::string_view path, DiagnosticList& diagnostics,
                        const PatternTable& patterns) {
  if (patterns.doubleUpper.WholeMatch(moduleName)) {
    ReportViolation(diagnostics, path, 0, "two upper case letters in filename are not allowed");
  }
  if (!patterns.alnumName.WholeMatch(moduleName)) {
    ReportViolation(diagnostics, path, 0, "only letters and numbers are allowed for filename");
  }
}

void CheckFileConventions(const SourceLines& fileLines, std::string_view fileName, std::string_view path,
                          const SourceLines& headerLines, DiagnosticList& diagnostics, const ScanMode& mode) {
  const PatternTable& patterns = PatternTable::Of(*mode.engine);
  const std::string moduleName = ModuleName(fileName, patterns);
  CheckFileNameRules(moduleName, path, diagnostics, patterns);

  DeclarationTable table;
  UserTypeList userTypes(*mode.engine);
  // The header's records are dropped; the types it taught stay known. Its
  // declaration pass would only append records to the table, which is
  // cleared right after, and lower a first-function line that is not used;
  // it never adds user types. So only the cheap-tests mode leaves it out.
  {
    FileScanner header(table, userTypes, headerLines.Count(), mode);
    header.TypePass(headerLines);
    if (!mode.cheapTests) header.DeclarationPass(headerLines);
    table.clear();
  }

  FileScanner scanner(table, userTypes, fileLines.Count(), mode);
  scanner.TypePass(fileLines);
  scanner.DeclarationPass(fileLines);
  CheckNamingRules(table, moduleName, path, scanner.FirstFunctionLine(), diagnostics, patterns);
}

}  // namespace skerry
