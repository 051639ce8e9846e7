#include "tests/reference/LiteralScanner.h"

#include <map>
#include <memory>
#include <utility>

#include "analysis/Pattern.h"
#include "tests/reference/ReferencePatterns.h"

namespace skerry::reference {

namespace {

// The reference compiles every text once and keeps it for the whole run.
const Pattern& Literal(const std::string& text, unsigned options = Pattern::kNone) {
  static std::map<std::pair<std::string, unsigned>, std::unique_ptr<Pattern>> patterns;
  std::unique_ptr<Pattern>& slot = patterns[{text, options}];
  if (!slot) slot = std::make_unique<Pattern>(text, options);
  return *slot;
}

std::string Trim(std::string_view text) {
  const char* blanks = " \t\n\v\f\r";
  std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return "";
  std::size_t end = text.find_last_not_of(blanks);
  return std::string(text.substr(begin, end - begin + 1));
}

void AppendEntry(std::string& userTypes, const std::string& name) {
  std::string entry = "(^.*[( ])(" + name + "[ *])(.*)";
  userTypes = userTypes.empty() ? entry : userTypes + "|" + entry;
}

void LiteralScanParameterList(const std::string& parameterText, DeclarationTable& table, std::string& userTypes,
                              int32_t lineNumber, int32_t& firstFunctionLine) {
  MatchGroups groups;
  const std::string trimmed = Trim(parameterText);
  if (!Literal("^[(]([^)]+)[)].*").Search(trimmed, groups)) return;
  std::string rest(groups[1]);
  while (Literal("(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*(.*)").Search(rest, groups)) {
    std::string parameter = " " + Trim(groups[2]);
    rest = std::string(groups[3]);
    LiteralScanLine(parameter, lineNumber, table, userTypes, false, firstFunctionLine);
  }
}

struct LiteralTest {
  const char* text;
  unsigned options;
  BaseType type;
};

struct LiteralTypedef {
  const char* text;
  unsigned options;
  TypedefKind kind;
};

}  // namespace

void LiteralScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, std::string& userTypes,
                     bool typePass, int32_t& firstFunctionLine) {
  static const LiteralTest kChain[] = {
      {"^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", Pattern::kIgnoreCase, BaseType::kBool},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kUint8},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kSint8},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kUint16},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kSint16},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kUint32},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", 0, BaseType::kSint32},
      {"^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)", 0,
       BaseType::kFloat32},
      {"^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)", 0,
       BaseType::kFloat64},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT][ *]+)(.*)", 0, BaseType::kUint},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT][ *]+)(.*)", 0, BaseType::kSint},
      {"^[^ (,]*([ ]+void[ *]+)(.*)", 0, BaseType::kVoid},
  };
  static const LiteralTypedef kTypedefs[] = {
      {"^[^ (,]*([ ]+typedef[ ]+enum[ ]+)(.*)", 0, TypedefKind::kEnum},
      {"^[^ (,]*([ ]+typedef[ ]+struct[ ])(.*)", 0, TypedefKind::kStruct},
      {"^[^ (,]*([ ]+typedef[ ]+union[ ])(.*)", 0, TypedefKind::kUnion},
      {"^[^ (,]*([ ]+typedef[ ]+[^( ]+[ ]+)([^() ].*)", 0, TypedefKind::kPlain},
  };
  MatchGroups groups;
  std::string line = Literal("\t").ReplaceAll(lineText, "  ");
  if (Literal("^[/][/].*").WholeMatch(lineText)) line.clear();
  for (char& c : line) {
    if (c == '\\') c = ' ';
  }
  std::string prepared = Trim(LiteralRemoveQualifiers(line));
  if (prepared.empty()) return;
  std::string statement = " " + prepared + " ";

  DeclarationRecord record;
  std::string name;
  std::string typeName;
  bool declared = false;
  if (Literal("^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*").Search(statement, groups)) {
    name = Trim(groups[2]);
    record.declarator = DeclaratorKind::kDefine;
    declared = true;
  } else {
    if (Literal("(^.*[ ])(extern)([ ].*$)").Search(statement, groups)) {
      statement = std::string(groups[1]) + std::string(groups[3]);
      record.isExtern = true;
    }
    std::string typeText;
    std::string rest;
    if (!typePass) {
      bool found = false;
      for (const LiteralTest& test : kChain) {
        if (Literal(test.text, test.options).Search(statement, groups)) {
          record.baseType = test.type;
          found = true;
          typeText = std::string(groups[1]);
          rest = Trim(groups[2]);
          break;
        }
      }
      if (!found && !userTypes.empty()) {
        Pattern userTypePattern("(" + userTypes + ")", Pattern::kIgnoreCase);
        if (userTypePattern.SearchDetailed(statement, groups) == SearchOutcome::Match) {
          for (std::size_t k = 1; 3 * k + 1 <= userTypePattern.GroupCount(); ++k) {
            if (groups.Participated(3 * k - 1) || groups.Participated(3 * k) || groups.Participated(3 * k + 1)) {
              record.baseType = BaseType::kUserType;
              found = true;
              typeText = typeName = Trim(groups[3 * k]);
              rest = Trim(groups[3 * k + 1]);
              break;
            }
          }
        }
      }
      if (found) statement = " " + rest;
    }
    for (std::size_t i = 0; i < 4; ++i) {
      if (!Literal(kTypedefs[i].text).Search(statement, groups)) continue;
      record.typedefKind = kTypedefs[i].kind;
      typeText = std::string(groups[1]);
      std::string newRest = Trim(groups[2]);
      MatchGroups nameGroups;
      if (i < 3 && Literal("^.*[}][ ]*([-A-Za-z0-9_]+)[;].*").Search(statement, nameGroups)) {
        typeName = Trim(nameGroups[1]);
      }
      rest = newRest;
      statement = " " + rest;
      break;
    }
    if (!typeText.empty() && Literal("^([^*]+)[*].*").Search(typeText)) record.isPointer = true;
    if (!rest.empty()) {
      if (Literal("^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) {
          record.declarator = DeclaratorKind::kArray;
          declared = true;
        }
      } else if (Literal("^[ ]*([^ {()=;]+)([ ]*[(].*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) {
          if (lineNumber < firstFunctionLine) firstFunctionLine = lineNumber;
          record.declarator = DeclaratorKind::kFunction;
          declared = true;
          if (!typePass) {
            LiteralScanParameterList(std::string(groups[2]), table, userTypes, lineNumber, firstFunctionLine);
          }
        }
      } else if (Literal("^[ ]*([^ ={();]+)(.*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) {
          record.declarator = DeclaratorKind::kVariable;
          declared = true;
        }
      }
    }
  }

  name = Trim(name);
  if (name.empty() || !declared) return;
  const TypedefKind kind = record.typedefKind;
  const bool compound = kind == TypedefKind::kEnum || kind == TypedefKind::kStruct || kind == TypedefKind::kUnion;
  auto enter = [&] {
    const std::string cleaned = Literal("[,;]").ReplaceAll(name, "");
    if (cleaned.empty()) return;
    record.name = table.Keep(cleaned);
    record.line = lineNumber;
    table.push_back(record, table.Keep(typeName), table.Keep(statement));
  };
  if (typePass) {
    if (compound) {
      AppendEntry(userTypes, typeName);
      enter();
    } else if (kind == TypedefKind::kPlain) {
      AppendEntry(userTypes, name);
    }
  } else if (!compound) {
    enter();
  }
}

}  // namespace skerry::reference
