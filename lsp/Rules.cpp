#include "lsp/Rules.h"

namespace skerry::lsp {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::string_view RuleId(Rule rule) {
  switch (rule) {
    case Rule::kFileNameDoubleUpper:
      return "filename-double-upper";
    case Rule::kFileNameCharacters:
      return "filename-characters";
    case Rule::kEnumMembersUpperCase:
      return "enum-members-upper-case";
    case Rule::kArrayListPostfix:
      return "array-list-postfix";
    case Rule::kMacroNameForm:
      return "macro-name-form";
    case Rule::kNameForm:
      break;
  }
  return "name-form";
}

Rule RuleOf(std::string_view message) {
  if (message == "two upper case letters in filename are not allowed") return Rule::kFileNameDoubleUpper;
  if (message == "only letters and numbers are allowed for filename") return Rule::kFileNameCharacters;
  if (EndsWith(message, " have to be uppercase!") && message.find(" in enum ") != std::string_view::npos) {
    return Rule::kEnumMembersUpperCase;
  }
  if (EndsWith(message, " needs to have array postfix '_List' in name!")) return Rule::kArrayListPostfix;
  if (message.find(" does not fit: ^[_]*") != std::string_view::npos) return Rule::kMacroNameForm;
  return Rule::kNameForm;
}

std::string_view RuleExplanation(Rule rule) {
  switch (rule) {
    case Rule::kFileNameDoubleUpper:
      return "The module name (the file name without its extensions, cut before its first `_`) must not hold two "
             "upper-case letters in a row: `CanBus.c` or `Can_Bus.c`, not `CAN_Bus.c`.";
    case Rule::kFileNameCharacters:
      return "The module name (the file name without its extensions, cut before its first `_`) may hold only ASCII "
             "letters and digits and must not be empty: `LedDriver.c`, not `Led-Driver.c`.";
    case Rule::kEnumMembersUpperCase:
      return "Everything between the braces of a one-line `typedef enum` must be upper case, initialisers included "
             "(`0X10U`, not `0x10u`).";
    case Rule::kArrayListPostfix:
      return "An array declaration must contain `_List`, usually at the end of the name: `LedDriver_ucPins_List[4]`.";
    case Rule::kMacroNameForm:
      return "A macro defined at file scope starts with the upper-case module prefix (`LED_DRIVER_` in "
             "`LedDriver.c`; none in modules whose name starts with `Config`) and is upper case: letters, digits, "
             "`_` and `#`; leading underscores are allowed. A macro defined from the first function on only has to "
             "be upper case.";
    case Rule::kNameForm:
      break;
  }
  return "A name is its module part, its type prefix and at least one more letter, digit, `_` or `#`. The module "
         "part is the module prefix (`LedDriver_`) at file scope and for functions and typedefs, any module's prefix "
         "for `extern` variables, and none for parameters and names declared from the first function on. The type "
         "prefix follows the type: `sc` `sn` `sd` (signed 8, 16, 32 bits), `uc` `un` `ud` (unsigned), `fn` `fd` "
         "(float32, float64), `bo` (boolean), `enum` `struct` `union` for typedef tags, none for functions, `void`, "
         "macros and types declared with typedef.";
}

}  // namespace skerry::lsp
