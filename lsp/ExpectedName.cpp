#include "lsp/ExpectedName.h"

#include "analysis/NamingRules.h"

namespace skerry::lsp {

namespace {

constexpr std::string_view kDoesNotFit = " does not fit: ";
constexpr std::string_view kAnyModule = "[A-Za-z0-9]+[_]";

std::string Unescaped(std::string_view text) {
  std::string plain;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.substr(at, 3) == "[_]") {
      plain.push_back('_');
      at += 2;
    } else {
      plain.push_back(text[at]);
    }
  }
  return plain;
}

std::string Quoted(std::string_view text) { return std::string(text); }

}  // namespace

bool NameForm::Fits(std::string_view name) const {
  const NameRule rule(modulePrefix, anyModule, typePrefix, macro);
  return rule.Match(name) == NameRule::Result::kFits;
}

std::optional<NameForm> NameFormOf(const Finding& finding, std::string_view moduleName) {
  if (finding.rule != Rule::kNameForm && finding.rule != Rule::kMacroNameForm) return std::nullopt;
  const std::size_t at = finding.message.find(kDoesNotFit);
  if (at == std::string::npos) return std::nullopt;
  std::string_view pattern = std::string_view(finding.message).substr(at + kDoesNotFit.size());
  NameForm form;
  constexpr std::string_view kMacroHead = "^[_]*", kMacroTail = "[A-Z0-9_#]+$", kTail = "[A-Za-z0-9_#]+$";
  if (pattern.substr(0, kMacroHead.size()) == kMacroHead && pattern.size() >= kMacroHead.size() + kMacroTail.size() &&
      pattern.substr(pattern.size() - kMacroTail.size()) == kMacroTail) {
    form.macro = true;
    pattern = pattern.substr(kMacroHead.size(), pattern.size() - kMacroHead.size() - kMacroTail.size());
  } else if (!pattern.empty() && pattern.front() == '^' && pattern.size() >= 1 + kTail.size() &&
             pattern.substr(pattern.size() - kTail.size()) == kTail) {
    pattern = pattern.substr(1, pattern.size() - 1 - kTail.size());
  } else {
    return std::nullopt;
  }
  if (!form.macro && pattern.substr(0, kAnyModule.size()) == kAnyModule) {
    form.anyModule = true;
    pattern.remove_prefix(kAnyModule.size());
  }
  std::string literal = Unescaped(pattern);
  const std::string modulePrefix = std::string(moduleName) + "_";
  if (form.macro || (!form.anyModule && literal.compare(0, modulePrefix.size(), modulePrefix) == 0)) {
    const std::size_t split = form.macro ? literal.size() : modulePrefix.size();
    form.modulePrefix = literal.substr(0, split);
    form.typePrefix = literal.substr(split);
  } else {
    form.typePrefix = literal;
  }
  return form;
}

std::string ExpectedText(const Finding& finding, std::string_view moduleName) {
  switch (finding.rule) {
    case Rule::kFileNameDoubleUpper:
      return "the module name " + Quoted(moduleName) +
             " (the file name up to its first _) must not have two upper-case letters in a row";
    case Rule::kFileNameCharacters:
      if (moduleName.empty()) return "the module name (the file name up to its first _) is empty";
      return "the module name " + Quoted(moduleName) +
             " (the file name up to its first _) may hold only letters and digits";
    case Rule::kEnumMembersUpperCase:
      return "expected upper-case enumeration members and initialisers";
    case Rule::kArrayListPostfix:
      return "expected _List in the array's name, as in " + finding.flagged + "_List";
    case Rule::kMacroNameForm:
    case Rule::kNameForm:
      break;
  }
  const std::optional<NameForm> form = NameFormOf(finding, moduleName);
  if (!form) return "the name does not have the required form";
  if (form->macro) {
    if (form->modulePrefix.empty()) return "expected an upper-case name (letters, digits, _ and #)";
    return "expected the upper-case module prefix " + form->modulePrefix + " and an upper-case name";
  }
  std::string text = "expected ";
  if (form->anyModule) {
    text += "a module prefix (letters and digits, then _)";
  } else if (!form->modulePrefix.empty()) {
    text += "the module prefix " + form->modulePrefix;
  }
  if (!form->typePrefix.empty()) {
    if (text.size() > 9) text += " and ";
    text += "the type prefix " + form->typePrefix;
    if (!form->anyModule && form->modulePrefix.empty()) text += " and no module prefix";
  } else if (!form->anyModule && form->modulePrefix.empty()) {
    text += "no module prefix and no type prefix";
  }
  return text;
}

}  // namespace skerry::lsp
