// The line scanner written with the documented patterns only, searched in
// the documented order on every line: what the hand-written scanner of
// analysis/ is proven against (tests/LineScannerTest.cpp).
#ifndef SKERRY_TESTS_REFERENCE_LITERAL_SCANNER_H
#define SKERRY_TESTS_REFERENCE_LITERAL_SCANNER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"

namespace skerry::reference {

// Scans one line as the scanner's pass does. userTypes is the text of the
// user-type alternation, entries joined by "|", searched as one pattern.
void LiteralScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, std::string& userTypes,
                     bool typePass, int32_t& firstFunctionLine);

}  // namespace skerry::reference

#endif
