// The house naming convention, checked over one file's declaration table.
#ifndef SKERRY_ANALYSIS_NAMING_RULES_H
#define SKERRY_ANALYSIS_NAMING_RULES_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "analysis/DeclarationRecord.h"
#include "analysis/Pattern.h"
#include "analysis/PatternTable.h"
#include "report/Diagnostics.h"

namespace skerry {

// Reports every name of table that does not have the form module part +
// type prefix + rest, enumeration bodies that are not upper case, arrays
// without "_List", and type names without the module part. Sorts the table
// by line (greatest first) and clears isFileScope at and after
// firstFunctionLine.
void CheckNamingRules(DeclarationTable& table, std::string_view moduleName, std::string_view path,
                      int32_t firstFunctionLine, DiagnosticList& diagnostics,
                      const PatternTable& patterns = PatternTable::Of(PatternEngine::Product()));

// A name rule: "^" + prefix + "[A-Za-z0-9_#]+$", or for macro names
// "^[_]*" + prefix + "[A-Z0-9_#]+$", where prefix is the module part followed
// by the type prefix, every "_" written "[_]". The module part is a text, or
// (anyModule) the fragment "[A-Za-z0-9]+_" that stands for any module's
// prefix. When the texts hold no character that the pattern reads as
// syntax (^ $ \ . * + ? ( ) [ ] { } |), so that it means them literally
// ("[_]" being a "_"), the rule is matched by hand; otherwise the pattern is
// compiled, and a pattern that does not compile (a module name holding "[",
// for instance) skips the rule.
class NameRule {
 public:
  NameRule(std::string_view modulePart, bool anyModule, std::string_view typePrefix, bool macro,
           const PatternEngine& engine = PatternEngine::Product());
  const std::string& Text() const { return text_; }
  enum class Result { kFits, kDoesNotFit, kSkipped };
  // The whole match of name.
  Result Match(std::string_view name) const;

 private:
  std::string text_;
  bool anyModule_;
  bool macro_;
  bool byHand_ = false;
  std::string literal_;                     // by hand: module part and type prefix
  std::shared_ptr<const Pattern> pattern_;  // otherwise
};

// "LedDriver" -> "LED_DRIVER_": "_" between a lower-case letter and an
// upper-case one, upper-cased, "_" appended.
std::string UpperModulePrefix(std::string_view moduleName,
                              const PatternTable& patterns = PatternTable::Of(PatternEngine::Product()));

}  // namespace skerry

#endif
