// The form a name must have, read back from a "does not fit" message, and
// said in words.
#ifndef SKERRY_LSP_EXPECTED_NAME_H
#define SKERRY_LSP_EXPECTED_NAME_H

#include <optional>
#include <string>
#include <string_view>

#include "lsp/Findings.h"

namespace skerry::lsp {

// The parts of a name rule's pattern ("^LedDriver[_]uc[A-Za-z0-9_#]+$").
struct NameForm {
  bool macro = false;        // "^[_]*...[A-Z0-9_#]+$": upper case, leading "_" allowed
  bool anyModule = false;    // starts with any module's prefix ("[A-Za-z0-9]+_")
  std::string modulePrefix;  // "LedDriver_", "LED_DRIVER_" or empty
  std::string typePrefix;    // "uc", "enum", ... or empty

  // Whether name has this form.
  bool Fits(std::string_view name) const;
};

// The form of a finding of the two "does not fit" kinds; moduleName tells
// the module prefix from the type prefix. Nothing for other kinds.
std::optional<NameForm> NameFormOf(const Finding& finding, std::string_view moduleName);

// What the finding asks for, in words, first: "expected the module prefix
// LedDriver_ and the type prefix uc".
std::string ExpectedText(const Finding& finding, std::string_view moduleName);

}  // namespace skerry::lsp

#endif
