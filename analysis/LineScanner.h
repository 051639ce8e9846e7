// The scanner proper: recognises at most one declared name on each line of
// a file (and one per parameter of a function declarator), in two passes.
#ifndef SKERRY_ANALYSIS_LINE_SCANNER_H
#define SKERRY_ANALYSIS_LINE_SCANNER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/CheapTests.h"
#include "analysis/DeclarationRecord.h"
#include "analysis/Pattern.h"
#include "analysis/PatternTable.h"
#include "analysis/SourceLines.h"
#include "analysis/UserTypeList.h"

namespace skerry {

// Whether the checker runs the cheap tests unless told otherwise. A build
// with -DSKERRY_CHEAP_TESTS=OFF searches every pattern on every line (the
// benchmark's plain form of the checker); the output is the same.
#ifndef SKERRY_CHEAP_TESTS
#define SKERRY_CHEAP_TESTS 1
#endif
inline constexpr bool kCheapTestsByDefault = SKERRY_CHEAP_TESTS != 0;

// How files are scanned: the engine that runs the patterns, and whether the
// cheap tests (CheapTests.h) run in front of them. Every mode gives the same
// records; tests/reference/ScanModesTest.cpp compares them.
struct ScanMode {
  const PatternEngine* engine = &PatternEngine::Product();
  bool cheapTests = kCheapTestsByDefault;
};

// Scans the lines of one file into a declaration table. The type pass only
// learns user type names into the user-type list and enters records for
// typedefs of enum, struct and union; the declaration pass enters a record
// for every other recognised declaration, and one for each parameter of a
// function declarator. Both lower the first-function line (which starts at
// the number of lines) to a line holding a function declarator. The records
// are those of the scanner written with the literal patterns
// (tests/LineScannerTest.cpp, MatchesReferenceOnGeneratedFiles).
class FileScanner {
 public:
  enum class Pass { kType, kDeclaration };

  FileScanner(DeclarationTable& table, UserTypeList& userTypes, int32_t lineCount, const ScanMode& mode = {});

  // A pass over every line, from the last to the first.
  void TypePass(const SourceLines& lines);
  void DeclarationPass(const SourceLines& lines);

  // One line of a pass. facts may tell what none of the lines of the text
  // holds. Record texts may be views into lineText, which must then outlive
  // the table.
  void ScanLine(std::string_view lineText, int32_t lineNumber, Pass pass, const LineFacts& facts = {});

  // Splits the parameter text that follows a function name ("(uint8 a,
  // ...") into parameters and scans each one as a line of its own in the
  // declaration pass, with the function's line number.
  void ScanParameterList(std::string_view parameterText, int32_t lineNumber);

  int32_t FirstFunctionLine() const { return firstFunctionLine_; }

 private:
  // The scan without the cheap tests. Record texts that stand in viewable
  // unchanged are kept as views into it (an empty viewable: copies).
  void ScanFully(std::string_view lineText, std::string_view viewable, int32_t lineNumber, Pass pass);

  DeclarationTable& table_;
  UserTypeList& userTypes_;
  int32_t firstFunctionLine_;
  const PatternTable& patterns_;
  bool cheapTests_;
  std::string scratch_;  // a name without its separators
};

}  // namespace skerry

#endif
