// All checks of one source file: file-name rules, the scans of its
// companion header and of the file itself, and the naming rules.
#ifndef SKERRY_ANALYSIS_FILE_CHECK_H
#define SKERRY_ANALYSIS_FILE_CHECK_H

#include <string>
#include <string_view>

#include "analysis/LineScanner.h"
#include "analysis/PatternTable.h"
#include "analysis/SourceLines.h"
#include "report/Diagnostics.h"

namespace skerry {

// The file name trimmed, every extension removed, cut before the first "_":
// "Can_Bus.c" -> "Can".
std::string ModuleName(std::string_view fileName,
                       const PatternTable& patterns = PatternTable::Of(PatternEngine::Product()));

// Reports the two file-name rules for moduleName with line 0.
void CheckFileNameRules(std::string_view moduleName, std::string_view path, DiagnosticList& diagnostics,
                        const PatternTable& patterns = PatternTable::Of(PatternEngine::Product()));

// Checks one file. fileName is the last element of the path (with its
// extension), path the text that stands in every diagnostic, headerLines
// the companion header's lines (empty when there is none). Every mode
// reports the same (tests/reference/ScanModesTest.cpp).
void CheckFileConventions(const SourceLines& fileLines, std::string_view fileName, std::string_view path,
                          const SourceLines& headerLines, DiagnosticList& diagnostics, const ScanMode& mode);
inline void CheckFileConventions(const SourceLines& fileLines, std::string_view fileName, std::string_view path,
                                 const SourceLines& headerLines, DiagnosticList& diagnostics) {
  CheckFileConventions(fileLines, fileName, path, headerLines, diagnostics, ScanMode{});
}

}  // namespace skerry

#endif
