// The checker's vocabulary: every fixed regular expression it searches, by
// name. Static patterns are built before main (in the order listed) and
// shared by every file and thread; they are never changed. The documented
// patterns that hand-written tests stand in for are kept with the tests
// (tests/reference/ReferencePatterns.h).
#ifndef SKERRY_ANALYSIS_PATTERN_TABLE_H
#define SKERRY_ANALYSIS_PATTERN_TABLE_H

#include "analysis/Pattern.h"

namespace skerry {

extern const Pattern BoolTypePattern;
extern const Pattern UintPattern;
extern const Pattern Uint8Pattern;
extern const Pattern Uint16Pattern;
extern const Pattern Uint32Pattern;
extern const Pattern TypedefEnumPattern;
extern const Pattern TypedefStructPattern;
extern const Pattern TypedefUnionPattern;
extern const Pattern TypedefPattern;
extern const Pattern SintPattern;
extern const Pattern Sint8Pattern;
extern const Pattern Sint16Pattern;
extern const Pattern Sint32Pattern;
extern const Pattern VoidPattern;
extern const Pattern Float32Pattern;
extern const Pattern Float64Pattern;
extern const Pattern ArrayDeclaratorPattern;
extern const Pattern FunctionDeclaratorPattern;
extern const Pattern PlainDeclaratorPattern;
extern const Pattern TypedefNamePattern;
extern const Pattern CamelBoundaryPattern;
extern const Pattern ExtensionPattern;
extern const Pattern DoubleUpperPattern;
extern const Pattern AlnumNamePattern;
extern const Pattern PointerBasePattern;
extern const Pattern ParameterListPattern;
// Compiled without the documented trailing "(.*)", which always matches and
// so never changes the groups before it: the caller takes the rest of the
// list as a view (up to the first line terminator, where "." stops).
extern const Pattern ParameterSplitPattern;

}  // namespace skerry

#endif
