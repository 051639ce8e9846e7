#include "analysis/NamingRules.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "analysis/PatternTable.h"

namespace skerry {

namespace {

constexpr const char* kAnyModulePrefix = "[A-Za-z0-9]+_";

// The type prefixes: one slot per base type of the chain, then one per
// typedef kind, then none.
constexpr std::size_t kTypedefSlots = std::size(kBaseTypes);
constexpr std::size_t kNoTypePrefix = kTypedefSlots + std::size(kTypedefKinds);

constexpr std::size_t SlotOf(TypedefKind kind) { return kTypedefSlots + static_cast<std::size_t>(kind) - 1; }

// The slot of the type prefix a record's name must carry: that of its base
// type, else that of its typedef kind, else none. A function's name carries
// none.
std::size_t TypePrefixSlot(const DeclarationRecord& record) {
  if (record.declarator == DeclaratorKind::kFunction) return kNoTypePrefix;
  if (const BaseTypeEntry* entry = EntryOf(record.baseType); entry != nullptr && !entry->prefix.empty()) {
    return static_cast<std::size_t>(entry - kBaseTypes);
  }
  if (const TypedefKindEntry* entry = EntryOf(record.typedefKind); entry != nullptr && !entry->prefix.empty()) {
    return SlotOf(entry->kind);
  }
  return kNoTypePrefix;
}

std::string_view TypePrefixText(std::size_t slot) {
  if (slot < kTypedefSlots) return kBaseTypes[slot].prefix;
  return slot < kNoTypePrefix ? kTypedefKinds[slot - kTypedefSlots].prefix : std::string_view();
}

// The body that "[{]([^}]+)[}]" takes as group 1, or false when it does not
// match (tests/NamingRulesTest.cpp compares the two). Searched by hand
// because the pattern retries every "{" of a text without a closing brace,
// which is quadratic.
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

// Every "_" of text replaced by "[_]".
std::string EscapeUnderscores(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    if (c == '_') {
      escaped.append("[_]");
    } else {
      escaped.push_back(c);
    }
  }
  return escaped;
}

// The module part of a name rule.
enum class ModulePart { kNone, kUpperModule, kModule, kAnyModule };

// The name rules of one file. A rule is made of the module part (one of
// four texts per file), the type prefix (one of those of kBaseTypes and
// kTypedefKinds, or none) and whether the name is a macro's, so a file needs
// only a few distinct rules; each is built and compiled once, when first
// needed.
class NameRules {
 public:
  NameRules(std::string_view upperModulePrefix, std::string_view modulePrefix, const PatternEngine& engine)
      : texts_{{}, upperModulePrefix, modulePrefix, {}}, engine_(engine) {}

  // "^[_]*" + prefix + "[A-Z0-9_#]+$" for macros, "^" + prefix +
  // "[A-Za-z0-9_#]+$" for other names, where prefix is the module part and
  // the type prefix with every "_" escaped.
  const NameRule& ForName(ModulePart part, std::size_t typePrefixSlot, bool isDefine) {
    std::optional<NameRule>& rule = nameRules_[static_cast<std::size_t>(part)][typePrefixSlot][isDefine ? 1 : 0];
    if (!rule)
      rule.emplace(Text(part), part == ModulePart::kAnyModule, TypePrefixText(typePrefixSlot), isDefine, engine_);
    return *rule;
  }

  // "^" + the module part with every "_" escaped + "[A-Za-z0-9_#]+$".
  const NameRule& ForTypeName(ModulePart part) {
    std::optional<NameRule>& rule = typeNameRules_[static_cast<std::size_t>(part)];
    if (!rule) rule.emplace(Text(part), part == ModulePart::kAnyModule, "", false, engine_);
    return *rule;
  }

 private:
  std::string_view Text(ModulePart part) const { return texts_[static_cast<std::size_t>(part)]; }

  std::string_view texts_[4];  // by ModulePart
  const PatternEngine& engine_;
  std::optional<NameRule> nameRules_[4][kNoTypePrefix + 1][2];
  std::optional<NameRule> typeNameRules_[4];
};

// Whether the pattern means every character of text literally once "_" is
// written "[_]": outside a character class, only these characters are
// syntax, in ECMAScript as in PCRE2 without its extended mode. A module name
// such as "intel-pt" (a fifth of the kernel's files) is thus matched by hand
// instead of compiling patterns for its file.
bool IsLiteral(std::string_view text) { return text.find_first_of("^$\\.*+?()[]{}|") == std::string_view::npos; }

bool IsAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Whether tail matches "[A-Za-z0-9_#]+$", or "[A-Z0-9_#]+$" for a macro.
bool TailFits(std::string_view tail, bool macro) {
  return !tail.empty() && std::all_of(tail.begin(), tail.end(), [macro](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '#' || (!macro && c >= 'a' && c <= 'z');
  });
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Member exemption: the name stands inside the braces of an earlier typedef
// struct or union (or in a compound text without a closing brace).
bool IsCompoundMember(const DeclarationTable& table, const DeclarationRecord& record,
                      const std::vector<const DeclarationRecord*>& compounds) {
  for (const DeclarationRecord* compound : compounds) {
    if (compound->line >= record.line) continue;
    const std::string_view text = table.DeclarationText(*compound);
    const std::size_t occurrence = text.find(record.name);
    if (occurrence == std::string_view::npos) continue;
    const std::size_t lastBrace = text.rfind('}');
    if (lastBrace == std::string_view::npos || occurrence < lastBrace) return true;
  }
  return false;
}

}  // namespace

NameRule::NameRule(std::string_view modulePart, bool anyModule, std::string_view typePrefix, bool macro,
                   const PatternEngine& engine)
    : anyModule_(anyModule), macro_(macro) {
  std::string joined(anyModule ? std::string_view(kAnyModulePrefix) : modulePart);
  joined.append(typePrefix);
  const std::string escaped = EscapeUnderscores(joined);
  text_ = macro ? "^[_]*" + escaped + "[A-Z0-9_#]+$" : "^" + escaped + "[A-Za-z0-9_#]+$";
  byHand_ = IsLiteral(anyModule ? std::string_view() : modulePart) && IsLiteral(typePrefix) && !(anyModule && macro);
  if (byHand_) {
    literal_.assign(anyModule ? std::string_view() : modulePart).append(typePrefix);
  } else {
    pattern_ = Pattern::Cached(text_, Pattern::kNone, engine);
  }
}

// By hand where the texts are literal; why that equals the pattern:
// tests/PrefilterTest.cpp, NameRulesByHandMatchThePattern.
NameRule::Result NameRule::Match(std::string_view name) const {
  if (!byHand_) {
    if (!pattern_->Valid()) return Result::kSkipped;
    return pattern_->WholeMatch(name) ? Result::kFits : Result::kDoesNotFit;
  }
  auto fitsFrom = [&](std::string_view rest) {
    return StartsWith(rest, literal_) && TailFits(rest.substr(literal_.size()), macro_);
  };
  bool fits = false;
  if (anyModule_) {
    std::size_t run = 0;
    while (run < name.size() && IsAlnum(name[run])) ++run;
    fits = run > 0 && run < name.size() && name[run] == '_' && fitsFrom(name.substr(run + 1));
  } else if (macro_) {
    for (std::size_t underscores = 0;; ++underscores) {
      if (fitsFrom(name.substr(underscores))) {
        fits = true;
        break;
      }
      if (underscores >= name.size() || name[underscores] != '_') break;
    }
  } else {
    fits = fitsFrom(name);
  }
  return fits ? Result::kFits : Result::kDoesNotFit;
}

std::string UpperModulePrefix(std::string_view moduleName, const PatternTable& patterns) {
  std::string prefix = patterns.camelBoundary.ReplaceAll(moduleName, "$1_$2");
  for (char& c : prefix) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  prefix.push_back('_');
  return prefix;
}

void CheckNamingRules(DeclarationTable& table, std::string_view moduleName, std::string_view path,
                      int32_t firstFunctionLine, DiagnosticList& diagnostics, const PatternTable& patterns) {
  // Greatest line first; records that share a line keep their table order
  // (a stable sort), so the report order is the same on every run. The walk
  // below goes from the back, in ascending line order. The scanner appends
  // in that order already unless the type pass entered records, so the sort
  // is mostly not needed.
  auto greaterLine = [](const DeclarationRecord& a, const DeclarationRecord& b) { return a.line > b.line; };
  if (!std::is_sorted(table.begin(), table.end(), greaterLine)) {
    std::stable_sort(table.begin(), table.end(), greaterLine);
  }

  const std::string upperModulePrefix = UpperModulePrefix(moduleName, patterns);
  const std::string modulePrefix = std::string(moduleName) + "_";
  const bool configModule = moduleName.size() >= 6 && moduleName.substr(0, 6) == "Config";
  NameRules rules(upperModulePrefix, modulePrefix, patterns.engine);

  // The compound-type list only reads line and declaration text, which the
  // walk does not change, so it can point into the table.
  std::vector<const DeclarationRecord*> compounds;
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    if (it->typedefKind == TypedefKind::kUnion || it->typedefKind == TypedefKind::kStruct) compounds.push_back(&*it);
    if (it->line >= firstFunctionLine) it->isFileScope = false;
  }

  std::string withoutMarks;
  std::string message;
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    const DeclarationRecord& record = *it;

    // The name without "*" and "&" (the pointer marks); most names hold
    // none and are taken as they stand.
    std::string_view cleanedName = record.name;
    if (record.name.find('*') != std::string_view::npos || record.name.find('&') != std::string_view::npos) {
      withoutMarks.assign(record.name);
      withoutMarks.erase(
          std::remove_if(withoutMarks.begin(), withoutMarks.end(), [](char c) { return c == '*' || c == '&'; }),
          withoutMarks.end());
      cleanedName = withoutMarks;
    }

    ModulePart modulePart = ModulePart::kNone;
    const bool isDefine = record.declarator == DeclaratorKind::kDefine;
    if (isDefine && record.isFileScope) {
      modulePart = configModule ? ModulePart::kNone : ModulePart::kUpperModule;
    } else if (record.declarator == DeclaratorKind::kFunction) {
      modulePart = record.name == "main" ? ModulePart::kNone : ModulePart::kModule;
    } else if (record.isExtern) {
      modulePart = ModulePart::kAnyModule;
    } else if (record.isFileScope) {
      modulePart = IsCompoundMember(table, record, compounds) ? ModulePart::kNone : ModulePart::kModule;
    }

    const std::size_t typePrefixSlot = TypePrefixSlot(record);
    if (typePrefixSlot == SlotOf(TypedefKind::kEnum)) {
      std::string_view body;
      if (FindEnumBody(table.DeclarationText(record), body) && HasLowerAscii(body)) {
        message.assign(body);
        message.append(" in enum ").append(cleanedName).append(" have to be uppercase!");
        ReportViolation(diagnostics, path, record.line, message);
      }
    }

    // ".*[_]List.*" matches exactly the texts that hold "_List".
    if (record.declarator == DeclaratorKind::kArray &&
        table.DeclarationText(record).find("_List") == std::string_view::npos) {
      message.assign(cleanedName).append(" needs to have array postfix '_List' in name!");
      ReportViolation(diagnostics, path, record.line, message);
    }

    const NameRule& nameRule = rules.ForName(modulePart, typePrefixSlot, isDefine);
    if (nameRule.Match(cleanedName) == NameRule::Result::kDoesNotFit) {
      message.assign(cleanedName).append(" does not fit: ").append(nameRule.Text());
      ReportViolation(diagnostics, path, record.line, message);
    }

    const std::string_view typeName = table.TypeName(record);
    if (!isDefine && !typeName.empty()) {
      const NameRule& typeRule = rules.ForTypeName(modulePart);
      if (typeRule.Match(typeName) == NameRule::Result::kDoesNotFit) {
        message.assign(typeName).append(" does not fit: ").append(typeRule.Text());
        ReportViolation(diagnostics, path, record.line, message);
      }
    }
  }
}

}  // namespace skerry
