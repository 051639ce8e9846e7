// The kinds of diagnostic, with the rule ids the SARIF converter gives them
// and the explanation a hover shows.
#ifndef SKERRY_LSP_RULES_H
#define SKERRY_LSP_RULES_H

#include <string_view>

namespace skerry::lsp {

enum class Rule {
  kFileNameDoubleUpper,
  kFileNameCharacters,
  kEnumMembersUpperCase,
  kArrayListPostfix,
  kMacroNameForm,
  kNameForm,
};

// "filename-double-upper", ..., "name-form".
std::string_view RuleId(Rule rule);

// The kind of a checker message, decided as the SARIF converter does.
Rule RuleOf(std::string_view message);

// What the rule asks for, in a few sentences.
std::string_view RuleExplanation(Rule rule);

}  // namespace skerry::lsp

#endif
