#include "tests/reference/ReferencePatterns.h"

namespace skerry::reference {

const char* const kDefinePatternText = "^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*";
const char* const kParameterSplitPatternText = "(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*(.*)";

const Pattern LineCommentPattern("^[/][/].*");
const Pattern QualifierPattern("(^.*)(const|[@_]*volatile|[@_]*static|[@_]*[Ii][Nn][Ll][Ii][Nn][Ee])([ ].*$)");
const Pattern ExternPattern("(^.*[ ])(extern)([ ].*$)");
// Its greedy leading "^.*" leaves exactly one blank to the documented
// "[ ]+" before "#define", so "[ ][#]define" takes the same match and
// groups; the documented form backtracks quadratically on long runs of
// blanks, this one does not.
const Pattern DefinePattern("^.*([ ][#]define)[ ]+([A-Za-z0-9_]+).*");
const Pattern TabPattern("\t");
const Pattern SourceFilePattern("(^.*[.])[ch]$", Pattern::kIgnoreCase);
const Pattern DeclaratorSeparatorPattern("[,;]");
const Pattern PointerMarkPattern("[*&]");
const Pattern EnumBodyPattern("[{]([^}]+)[}]");
const Pattern ListPostfixPattern(".*[_]List.*");
const Pattern UnderscorePattern("[_]");

std::string LiteralRemoveQualifiers(std::string line) {
  MatchGroups groups;
  while (QualifierPattern.Search(line, groups)) line = std::string(groups[1]) + std::string(groups[3]);
  return line;
}

std::string LiteralStatement(std::string_view line) {
  std::string text = TabPattern.ReplaceAll(line, "  ");
  if (LineCommentPattern.WholeMatch(line)) text.clear();
  for (char& c : text) {
    if (c == '\\') c = ' ';
  }
  text = LiteralRemoveQualifiers(text);
  const char* blanks = " \t\n\v\f\r";
  const std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return std::string();
  const std::size_t end = text.find_last_not_of(blanks);
  return " " + text.substr(begin, end - begin + 1) + " ";
}

}  // namespace skerry::reference
