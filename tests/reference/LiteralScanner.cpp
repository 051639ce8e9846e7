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
  bool DeclarationRecord::*flag;
};

}  // namespace

void LiteralScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, std::string& userTypes,
                     bool typePass, int32_t& firstFunctionLine) {
  static const LiteralTest kChain[] = {
      {"^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", Pattern::kIgnoreCase, &DeclarationRecord::isBool},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isUint8},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isSint8},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isUint16},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isSint16},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isUint32},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)", 0, &DeclarationRecord::isSint32},
      {"^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)", 0,
       &DeclarationRecord::isFloat32},
      {"^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)", 0,
       &DeclarationRecord::isFloat64},
      {"^[^ (,]*([ ]+[Uu][Ii][Nn][tT][ *]+)(.*)", 0, &DeclarationRecord::isUint},
      {"^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT][ *]+)(.*)", 0, &DeclarationRecord::isSint},
      {"^[^ (,]*([ ]+void[ *]+)(.*)", 0, &DeclarationRecord::isVoid},
  };
  static const LiteralTest kTypedefs[] = {
      {"^[^ (,]*([ ]+typedef[ ]+enum[ ]+)(.*)", 0, &DeclarationRecord::isTypedefEnum},
      {"^[^ (,]*([ ]+typedef[ ]+struct[ ])(.*)", 0, &DeclarationRecord::isTypedefStruct},
      {"^[^ (,]*([ ]+typedef[ ]+union[ ])(.*)", 0, &DeclarationRecord::isTypedefUnion},
      {"^[^ (,]*([ ]+typedef[ ]+[^( ]+[ ]+)([^() ].*)", 0, &DeclarationRecord::isTypedef},
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
  if (Literal("^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*").Search(statement, groups)) {
    name = Trim(groups[2]);
    record.isDefine = record.isDeclaration = true;
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
          record.*test.flag = found = true;
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
              record.isUserType = found = true;
              typeText = record.typeName = Trim(groups[3 * k]);
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
      record.*kTypedefs[i].flag = true;
      typeText = std::string(groups[1]);
      std::string newRest = Trim(groups[2]);
      MatchGroups nameGroups;
      if (i < 3 && Literal("^.*[}][ ]*([-A-Za-z0-9_]+)[;].*").Search(statement, nameGroups)) {
        record.typeName = Trim(nameGroups[1]);
      }
      rest = newRest;
      statement = " " + rest;
      break;
    }
    if (!typeText.empty() && Literal("^([^*]+)[*].*").Search(typeText)) record.isPointer = true;
    if (!rest.empty()) {
      if (Literal("^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) record.isArray = record.isDeclaration = true;
      } else if (Literal("^[ ]*([^ {()=;]+)([ ]*[(].*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) {
          if (lineNumber < firstFunctionLine) firstFunctionLine = lineNumber;
          record.isFunction = record.isDeclaration = true;
          if (!typePass) {
            LiteralScanParameterList(std::string(groups[2]), table, userTypes, lineNumber, firstFunctionLine);
          }
        }
      } else if (Literal("^[ ]*([^ ={();]+)(.*)").Search(statement, groups)) {
        name = Trim(groups[1]);
        if (!name.empty()) record.isVariable = record.isDeclaration = true;
      }
    }
  }

  name = Trim(name);
  if (name.empty() || !record.isDeclaration) return;
  const bool compound = record.isTypedefEnum || record.isTypedefStruct || record.isTypedefUnion;
  auto enter = [&] {
    record.name = Literal("[,;]").ReplaceAll(name, "");
    if (record.name.empty()) return;
    record.declarationText = statement;
    record.line = lineNumber;
    table.push_back(record);
  };
  if (typePass) {
    if (compound) {
      AppendEntry(userTypes, record.typeName);
      enter();
    } else if (record.isTypedef) {
      AppendEntry(userTypes, name);
    }
  } else if (!compound) {
    enter();
  }
}

}  // namespace skerry::reference
