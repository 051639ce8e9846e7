#include "analysis/PatternTable.h"

namespace skerry {

const char* const kDefinePatternText = "^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*";
const char* const kParameterSplitPatternText = "(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*(.*)";

// Construction order is the order of definition within this file.
const Pattern LineCommentPattern("^[/][/].*");
const Pattern BoolTypePattern("^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", Pattern::kIgnoreCase);
const Pattern QualifierPattern("(^.*)(const|[@_]*volatile|[@_]*static|[@_]*[Ii][Nn][Ll][Ii][Nn][Ee])([ ].*$)");
const Pattern ExternPattern("(^.*[ ])(extern)([ ].*$)");
const Pattern UintPattern("^[^ (,]*([ ]+[Uu][Ii][Nn][tT][ *]+)(.*)");
const Pattern Uint8Pattern("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern Uint16Pattern("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern Uint32Pattern("^[^ (,]*([ ]+[Uu][Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern TypedefEnumPattern("^[^ (,]*([ ]+typedef[ ]+enum[ ]+)(.*)");
const Pattern TypedefStructPattern("^[^ (,]*([ ]+typedef[ ]+struct[ ])(.*)");
const Pattern TypedefUnionPattern("^[^ (,]*([ ]+typedef[ ]+union[ ])(.*)");
const Pattern TypedefPattern("^[^ (,]*([ ]+typedef[ ]+[^( ]+[ ]+)([^() ].*)");
const Pattern SintPattern("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT][ *]+)(.*)");
const Pattern Sint8Pattern("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]8[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern Sint16Pattern("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]16[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern Sint32Pattern("^[^ (,]*([ ]+[Ss]*[Ii][Nn][tT]32[A-Za-z0-9_]*[ *]+)(.*)");
const Pattern VoidPattern("^[^ (,]*([ ]+void[ *]+)(.*)");
// Documented as kDefinePatternText. Its greedy leading "^.*" leaves exactly
// one blank to "[ ]+" before "#define", so "[ ][#]define" takes the same
// match and groups; the documented form backtracks quadratically on long
// runs of blanks, this one does not.
const Pattern DefinePattern("^.*([ ][#]define)[ ]+([A-Za-z0-9_]+).*");
const Pattern Float32Pattern("^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)");
const Pattern Float64Pattern(
    "^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)");
const Pattern ArrayDeclaratorPattern("^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)");
const Pattern FunctionDeclaratorPattern("^[ ]*([^ {()=;]+)([ ]*[(].*)");
const Pattern PlainDeclaratorPattern("^[ ]*([^ ={();]+)(.*)");
const Pattern TypedefNamePattern("^.*[}][ ]*([-A-Za-z0-9_]+)[;].*");
const Pattern TabPattern("\t");
const Pattern CamelBoundaryPattern("([a-z])([A-Z])");
const Pattern ExtensionPattern("[.][-A-Za-z0-9_]+");
const Pattern DoubleUpperPattern("^.*[A-Z][A-Z].*");
const Pattern AlnumNamePattern("^[A-Za-z0-9]+$");
const Pattern PointerBasePattern("^([^*]+)[*].*");
const Pattern SourceFilePattern("(^.*[.])[ch]$", Pattern::kIgnoreCase);

const Pattern DeclaratorSeparatorPattern("[,;]");
const Pattern ParameterListPattern("^[(]([^)]+)[)].*");
// The documented pattern ends in "(.*)", which always matches and so never
// changes the groups before it. Leaving it out lets the caller take the rest
// of the list as a view (up to the first line terminator, where "." stops)
// instead of having the engine scan to the end of the text on every step.
const Pattern ParameterSplitPattern("(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*");
const Pattern PointerMarkPattern("[*&]");
const Pattern EnumBodyPattern("[{]([^}]+)[}]");
const Pattern ListPostfixPattern(".*[_]List.*");
const Pattern UnderscorePattern("[_]");

}  // namespace skerry
