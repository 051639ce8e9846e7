#include "analysis/NamingRules.h"

#include <algorithm>
#include <vector>

#include "analysis/PatternTable.h"

namespace skerry {

namespace {

constexpr const char* kAnyModulePrefix = "[A-Za-z0-9]+_";

struct TypePrefix {
  bool DeclarationRecord::*flag;
  const char* prefix;
};

const TypePrefix kTypePrefixes[] = {
    {&DeclarationRecord::isSint8, "sc"},          {&DeclarationRecord::isSint16, "sn"},
    {&DeclarationRecord::isSint32, "sd"},         {&DeclarationRecord::isSint, "sn"},
    {&DeclarationRecord::isFloat32, "fn"},        {&DeclarationRecord::isFloat64, "fd"},
    {&DeclarationRecord::isUint16, "un"},         {&DeclarationRecord::isUint8, "uc"},
    {&DeclarationRecord::isUint32, "ud"},         {&DeclarationRecord::isUint, "un"},
    {&DeclarationRecord::isBool, "bo"},           {&DeclarationRecord::isTypedefEnum, "enum"},
    {&DeclarationRecord::isTypedefStruct, "struct"}, {&DeclarationRecord::isTypedefUnion, "union"},
};

// EnumBodyPattern, "[{]([^}]+)[}]": the leftmost "{" that is followed by at
// least one character other than "}" and, later, by a "}"; the body runs to
// the first "}" after it. Searched by hand because the pattern retries
// every "{" of a text without a closing brace, which is quadratic.
bool FindEnumBody(std::string_view text, std::string_view& body) {
  std::size_t open = text.find('{');
  while (open != std::string_view::npos) {
    std::size_t close = text.find('}', open + 1);
    if (close == std::string_view::npos) return false;  // no later "{" can close either
    if (close > open + 1) {
      body = text.substr(open + 1, close - open - 1);
      return true;
    }
    open = text.find('{', close);
  }
  return false;
}

bool HasLowerAscii(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// Whole match of name against the pattern text; a text that does not
// compile (a module name holding "[" for instance) skips the rule.
enum class RuleResult { Fits, DoesNotFit, Skipped };

RuleResult MatchNameRule(std::string_view name, const std::string& patternText) {
  std::shared_ptr<const Pattern> pattern = Pattern::Cached(patternText);
  if (!pattern->Valid()) return RuleResult::Skipped;
  return pattern->WholeMatch(name) ? RuleResult::Fits : RuleResult::DoesNotFit;
}

// Member exemption: the name stands inside the braces of an earlier typedef
// struct or union (or in a compound text without a closing brace).
bool IsCompoundMember(const DeclarationRecord& record, const std::vector<const DeclarationRecord*>& compounds) {
  for (const DeclarationRecord* compound : compounds) {
    if (compound->line >= record.line) continue;
    const std::string& text = compound->declarationText;
    std::size_t occurrence = text.find(record.name);
    if (occurrence == std::string::npos) continue;
    std::size_t lastBrace = text.rfind('}');
    if (lastBrace == std::string::npos || occurrence < lastBrace) return true;
  }
  return false;
}

}  // namespace

std::string UpperModulePrefix(std::string_view moduleName) {
  std::string prefix = CamelBoundaryPattern.ReplaceAll(moduleName, "$1_$2");
  for (char& c : prefix) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  prefix.push_back('_');
  return prefix;
}

void CheckNamingRules(DeclarationTable& table, std::string_view moduleName, std::string_view path,
                      int32_t firstFunctionLine, DiagnosticList& diagnostics) {
  // Greatest line first; records that share a line keep their table order
  // (a stable sort), so the report order is the same on every run. The walk
  // below goes from the back, in ascending line order.
  std::stable_sort(table.begin(), table.end(),
                   [](const DeclarationRecord& a, const DeclarationRecord& b) { return a.line > b.line; });

  const std::string upperModulePrefix = UpperModulePrefix(moduleName);
  const std::string modulePrefix = std::string(moduleName) + "_";
  const bool configModule = moduleName.size() >= 6 && moduleName.substr(0, 6) == "Config";

  // The compound-type list only reads line and declaration text, which the
  // walk does not change, so it can point into the table.
  std::vector<const DeclarationRecord*> compounds;
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    if (it->isTypedefUnion || it->isTypedefStruct) compounds.push_back(&*it);
    if (it->line >= firstFunctionLine) it->isFileScope = false;
  }

  std::string cleanedName;
  std::string message;
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    const DeclarationRecord& record = *it;

    cleanedName.clear();
    for (char c : record.name) {
      if (c != '*' && c != '&') cleanedName.push_back(c);  // PointerMarkPattern, replaced by nothing
    }

    std::string_view modulePart;
    if (record.isDefine && record.isFileScope) {
      modulePart = configModule ? std::string_view() : std::string_view(upperModulePrefix);
    } else if (record.isFunction) {
      modulePart = record.name == "main" ? std::string_view() : std::string_view(modulePrefix);
    } else if (record.isExtern) {
      modulePart = kAnyModulePrefix;
    } else if (record.isFileScope) {
      modulePart = IsCompoundMember(record, compounds) ? std::string_view() : std::string_view(modulePrefix);
    }

    std::string_view typePrefix;
    if (!record.isFunction) {
      for (const TypePrefix& entry : kTypePrefixes) {
        if (record.*entry.flag) {
          typePrefix = entry.prefix;
          break;
        }
      }
    }

    if (typePrefix == "enum") {
      std::string_view body;
      if (FindEnumBody(record.declarationText, body) && HasLowerAscii(body)) {
        message.assign(body);
        message.append(" in enum ").append(cleanedName).append(" have to be uppercase!");
        ReportViolation(diagnostics, path, record.line, message);
      }
    }

    if (record.isArray && !ListPostfixPattern.Search(record.declarationText)) {
      message.assign(cleanedName).append(" needs to have array postfix '_List' in name!");
      ReportViolation(diagnostics, path, record.line, message);
    }

    std::string joined(modulePart);
    joined.append(typePrefix);
    const std::string escaped = UnderscorePattern.ReplaceAll(joined, "[_]");
    std::string expected = record.isDefine ? "^[_]*" + escaped + "[A-Z0-9_#]+$" : "^" + escaped + "[A-Za-z0-9_#]+$";
    if (MatchNameRule(cleanedName, expected) == RuleResult::DoesNotFit) {
      message.assign(cleanedName).append(" does not fit: ").append(expected);
      ReportViolation(diagnostics, path, record.line, message);
    }

    if (!record.isDefine && !record.typeName.empty()) {
      std::string typePattern = "^" + UnderscorePattern.ReplaceAll(modulePart, "[_]") + "[A-Za-z0-9_#]+$";
      if (MatchNameRule(record.typeName, typePattern) == RuleResult::DoesNotFit) {
        message.assign(record.typeName).append(" does not fit: ").append(typePattern);
        ReportViolation(diagnostics, path, record.line, message);
      }
    }
  }
}

}  // namespace skerry
