// The checker's vocabulary: every fixed regular expression, by name.
// Static patterns are built before main (in the order listed) and shared by
// every file and thread; they are never changed.
#ifndef SKERRY_ANALYSIS_PATTERN_TABLE_H
#define SKERRY_ANALYSIS_PATTERN_TABLE_H

#include "analysis/Pattern.h"

namespace skerry {

extern const Pattern LineCommentPattern;
extern const Pattern BoolTypePattern;
extern const Pattern QualifierPattern;
extern const Pattern ExternPattern;
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
extern const Pattern DefinePattern;
extern const Pattern Float32Pattern;
extern const Pattern Float64Pattern;
extern const Pattern ArrayDeclaratorPattern;
extern const Pattern FunctionDeclaratorPattern;
extern const Pattern PlainDeclaratorPattern;
extern const Pattern TypedefNamePattern;
extern const Pattern TabPattern;
extern const Pattern CamelBoundaryPattern;
extern const Pattern ExtensionPattern;
extern const Pattern DoubleUpperPattern;
extern const Pattern AlnumNamePattern;
extern const Pattern PointerBasePattern;
extern const Pattern SourceFilePattern;

// Patterns of fixed text that single operations use. Their results do not
// depend on when they are compiled, so they are compiled once as well.
extern const Pattern DeclaratorSeparatorPattern;
extern const Pattern ParameterListPattern;
extern const Pattern ParameterSplitPattern;
extern const Pattern PointerMarkPattern;
extern const Pattern EnumBodyPattern;
extern const Pattern ListPostfixPattern;
extern const Pattern UnderscorePattern;

// The documented text of DefinePattern. The compiled form differs (see
// PatternTable.cpp) but gives the same match and groups for every input.
extern const char* const kDefinePatternText;
// The text of ParameterSplitPattern as documented, with its trailing "(.*)"
// group; the compiled ParameterSplitPattern leaves that group out.
extern const char* const kParameterSplitPatternText;

}  // namespace skerry

#endif
