#include "analysis/LineScanner.h"

#include "analysis/ParameterScanner.h"
#include "analysis/PatternTable.h"

namespace skerry {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool EndsWith(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool EndsWithInlineAnyCase(const std::string& text) {
  if (text.size() < 6) return false;
  static const char kWord[] = "inline";
  for (std::size_t i = 0; i < 6; ++i) {
    char c = text[text.size() - 6 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kWord[i]) return false;
  }
  return true;
}

// Length of the qualifier word the text ends with, or 0.
std::size_t TrailingQualifier(const std::string& text) {
  if (EndsWith(text, "const")) return 5;
  if (EndsWith(text, "volatile")) return 8;
  if (EndsWith(text, "static")) return 6;
  if (EndsWithInlineAnyCase(text)) return 6;
  return 0;
}

// The line as the type chain's rule table names it: pattern and flag.
struct TypeTest {
  const Pattern* pattern;
  bool DeclarationRecord::*flag;
};

const TypeTest kTypeChain[] = {
    {&BoolTypePattern, &DeclarationRecord::isBool},       {&Uint8Pattern, &DeclarationRecord::isUint8},
    {&Sint8Pattern, &DeclarationRecord::isSint8},         {&Uint16Pattern, &DeclarationRecord::isUint16},
    {&Sint16Pattern, &DeclarationRecord::isSint16},       {&Uint32Pattern, &DeclarationRecord::isUint32},
    {&Sint32Pattern, &DeclarationRecord::isSint32},       {&Float32Pattern, &DeclarationRecord::isFloat32},
    {&Float64Pattern, &DeclarationRecord::isFloat64},     {&UintPattern, &DeclarationRecord::isUint},
    {&SintPattern, &DeclarationRecord::isSint},           {&VoidPattern, &DeclarationRecord::isVoid},
};

const TypeTest kTypedefTests[] = {
    {&TypedefEnumPattern, &DeclarationRecord::isTypedefEnum},
    {&TypedefStructPattern, &DeclarationRecord::isTypedefStruct},
    {&TypedefUnionPattern, &DeclarationRecord::isTypedefUnion},
    {&TypedefPattern, &DeclarationRecord::isTypedef},
};

// The statement text becomes one blank followed by rest.
void RestartStatement(std::string& statement, std::string_view rest) {
  std::string next;
  next.reserve(rest.size() + 1);
  next.push_back(' ');
  next.append(rest);
  statement.swap(next);
}

void EnterRecord(DeclarationRecord& record, std::string_view name, const std::string& statement, int32_t lineNumber,
                 DeclarationTable& table) {
  record.name.clear();
  for (char c : name) {
    if (c != ',' && c != ';') record.name.push_back(c);  // DeclaratorSeparatorPattern, replaced by nothing
  }
  // A name made only of separators would be stored empty; a stored name
  // never is, so such a line enters nothing.
  if (record.name.empty()) return;
  record.declarationText = statement;
  record.line = lineNumber;
  table.push_back(std::move(record));
}

// ExternPattern, "(^.*[ ])(extern)([ ].*$)": its "." spans the whole text,
// so a text holding a line terminator never matches; otherwise the greedy
// group 1 takes the rightmost "extern" with a blank on each side. Searched
// by hand because the pattern's backtracking is quadratic in the number of
// such words before a carriage return. Returns the position of the word.
std::size_t FindExternWord(const std::string& statement) {
  if (statement.find_first_of("\r\n") != std::string::npos) return std::string::npos;
  std::size_t at = statement.size();
  while (at > 0) {
    at = statement.rfind("extern", at - 1);
    if (at == std::string::npos) break;
    if (at > 0 && statement[at - 1] == ' ' && at + 6 < statement.size() && statement[at + 6] == ' ') return at;
  }
  return std::string::npos;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// Each removal drops the rightmost qualifier word followed by a blank and
// keeps the blank; a removal can only make a new qualifier end right before
// that same blank. Building the line left to right and, at every blank,
// dropping qualifier words that end just before it therefore gives the same
// text in one pass, where the repeated search would be quadratic. A line
// holding a line terminator never matches (QualifierPattern's "." does not
// cross one, and it spans the whole line), so it is left as it is.
void RemoveQualifiers(std::string& line) {
  if (line.find_first_of("\r\n") != std::string::npos) return;
  if (line.find(' ') == std::string::npos) return;
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == ' ') {
      while (std::size_t length = TrailingQualifier(out)) out.resize(out.size() - length);
    }
    out.push_back(c);
  }
  line.swap(out);
}

void ScanLine(std::string_view lineText, int32_t lineNumber, DeclarationTable& table, UserTypeList& userTypes,
              bool typePass, int32_t& firstFunctionLine) {
  // Preparing the line.
  std::string line;
  if (!LineCommentPattern.WholeMatch(lineText)) {
    line.reserve(lineText.size() + 8);
    for (char c : lineText) {
      if (c == '\t') {
        line.append("  ");  // TabPattern, replaced by two blanks
      } else if (c == '\\') {
        line.push_back(' ');
      } else {
        line.push_back(c);
      }
    }
  }
  RemoveQualifiers(line);
  std::string_view prepared = TrimBlanks(line);
  if (prepared.empty()) return;

  std::string statement;
  statement.reserve(prepared.size() + 2);
  statement.push_back(' ');
  statement.append(prepared);
  statement.push_back(' ');

  DeclarationRecord record;
  MatchGroups groups;
  std::string name;

  // Macro test: nothing else is tested on a macro line.
  if (DefinePattern.Search(statement, groups)) {
    name = std::string(TrimBlanks(groups[2]));
    record.isDefine = true;
    record.isDeclaration = true;
  } else {
    // Extern test: the word is cut out, the blanks on both sides stay.
    std::size_t externWord = FindExternWord(statement);
    if (externWord != std::string::npos) {
      statement.erase(externWord, 6);
      record.isExtern = true;
    }

    std::string typeText;
    std::string rest;

    if (!typePass) {
      bool found = false;
      for (const TypeTest& test : kTypeChain) {
        if (test.pattern->Search(statement, groups)) {
          record.*test.flag = true;
          typeText.assign(groups[1]);
          rest.assign(TrimBlanks(groups[2]));
          found = true;
          break;
        }
      }
      if (!found && !userTypes.empty()) {
        std::string_view typeGroup;
        std::string_view restGroup;
        if (userTypes.Find(statement, typeGroup, restGroup)) {
          record.isUserType = true;
          typeText.assign(TrimBlanks(typeGroup));
          record.typeName = typeText;
          rest.assign(TrimBlanks(restGroup));
          found = true;
        }
      }
      if (found) RestartStatement(statement, rest);
    }

    for (std::size_t i = 0; i < 4; ++i) {
      const TypeTest& test = kTypedefTests[i];
      if (!test.pattern->Search(statement, groups)) continue;
      record.*test.flag = true;
      typeText.assign(groups[1]);
      std::string restText(TrimBlanks(groups[2]));
      if (i < 3) {
        MatchGroups nameGroups;
        if (TypedefNamePattern.Search(statement, nameGroups)) record.typeName.assign(TrimBlanks(nameGroups[1]));
      }
      rest.swap(restText);
      RestartStatement(statement, rest);
      break;
    }

    if (!typeText.empty() && PointerBasePattern.Search(typeText)) record.isPointer = true;

    if (!rest.empty()) {
      if (ArrayDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          record.isArray = true;
          record.isDeclaration = true;
        }
      } else if (FunctionDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          if (lineNumber < firstFunctionLine) firstFunctionLine = lineNumber;
          record.isFunction = true;
          record.isDeclaration = true;
          if (!typePass) ScanParameterList(groups[2], table, userTypes, lineNumber, firstFunctionLine);
        }
      } else if (PlainDeclaratorPattern.Search(statement, groups)) {
        name.assign(TrimBlanks(groups[1]));
        if (!name.empty()) {
          record.isVariable = true;
          record.isDeclaration = true;
        }
      }
    }
  }

  // Entering.
  std::string_view trimmedName = TrimBlanks(name);
  if (trimmedName.empty() || !record.isDeclaration) return;
  bool compoundTypedef = record.isTypedefEnum || record.isTypedefStruct || record.isTypedefUnion;
  if (typePass) {
    if (compoundTypedef) {
      userTypes.Append(record.typeName);
      EnterRecord(record, trimmedName, statement, lineNumber, table);
    } else if (record.isTypedef) {
      userTypes.Append(trimmedName);
    }
  } else if (!compoundTypedef) {
    EnterRecord(record, trimmedName, statement, lineNumber, table);
  }
}

}  // namespace skerry
