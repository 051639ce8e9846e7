#include "analysis/PatternTable.h"

namespace skerry {

// Construction order is the order of definition within this file.
const Pattern BoolTypePattern("^[^ (,]*([ ]+[bB][Oo][Oo][Ll][Ee]*[Aa]*[Nn]*[ *]+)(.*)", Pattern::kIgnoreCase);
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
const Pattern Float32Pattern("^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]32[A-Za-z0-9_]*[ *]+|[ ][Ff][Ll][Oo][Aa][tT][ *]+)(.*)");
const Pattern Float64Pattern(
    "^[^ (,]*([ ]+[Ff][Ll][Oo][Aa][tT]64[A-Za-z0-9_]*[ *]+|[ ][Dd][Oo][Uu][Bb][Ll][Ee][ *]+)(.*)");
const Pattern ArrayDeclaratorPattern("^[ ]*([^ {\\[=;()]+)([ ]*[\\[].*)");
const Pattern FunctionDeclaratorPattern("^[ ]*([^ {()=;]+)([ ]*[(].*)");
const Pattern PlainDeclaratorPattern("^[ ]*([^ ={();]+)(.*)");
const Pattern TypedefNamePattern("^.*[}][ ]*([-A-Za-z0-9_]+)[;].*");
const Pattern CamelBoundaryPattern("([a-z])([A-Z])");
const Pattern ExtensionPattern("[.][-A-Za-z0-9_]+");
const Pattern DoubleUpperPattern("^.*[A-Z][A-Z].*");
const Pattern AlnumNamePattern("^[A-Za-z0-9]+$");
const Pattern PointerBasePattern("^([^*]+)[*].*");
const Pattern ParameterListPattern("^[(]([^)]+)[)].*");
const Pattern ParameterSplitPattern("(^[ ]*[^ ,]+[ ]|^)([ ]*[^ ,]+[ ]+[^ ,]+)[,]*");

}  // namespace skerry
