// The documented patterns that the checker does not search: each one is
// replaced in analysis/ by a hand-written test, and the tests prove the two
// equal on the same inputs. Also the documented texts of the two patterns
// that the checker compiles in a different but equivalent form.
#ifndef SKERRY_TESTS_REFERENCE_REFERENCE_PATTERNS_H
#define SKERRY_TESTS_REFERENCE_REFERENCE_PATTERNS_H

#include <string>
#include <string_view>

#include "analysis/Pattern.h"

namespace skerry::reference {

extern const Pattern LineCommentPattern;          // IsLineComment
extern const Pattern QualifierPattern;            // the qualifier removal of PrepareStatement
extern const Pattern ExternPattern;               // FindExternWord
extern const Pattern DefinePattern;               // FindDefineName (linear form of the documented text)
extern const Pattern TabPattern;                  // PrepareStatement: a tab gives two blanks
extern const Pattern SourceFilePattern;           // the walk's test of a file name's extension
extern const Pattern DeclaratorSeparatorPattern;  // the scanner's removal of "," and ";" from a name
extern const Pattern PointerMarkPattern;          // the naming rules' removal of "*" and "&"
extern const Pattern EnumBodyPattern;             // FindEnumBody
extern const Pattern ListPostfixPattern;          // the "_List" test of arrays
extern const Pattern UnderscorePattern;           // EscapeUnderscores

// The documented text of DefinePattern. The linear form above differs but
// gives the same match and groups for every input.
extern const char* const kDefinePatternText;
// The documented text of ParameterSplitPattern, with its trailing "(.*)"
// group; the checker compiles it without that group.
extern const char* const kParameterSplitPatternText;

// The line with its qualifier words removed as the documented loop does it:
// while QualifierPattern matches, the line becomes its groups 1 and 3.
std::string LiteralRemoveQualifiers(std::string line);

// The statement text of a line built step by step with the documented
// patterns: tabs replaced (TabPattern), a first-column comment emptied
// (LineCommentPattern), backslashes blanked, qualifiers removed, trimmed and
// framed by one blank on each side; empty when nothing is left.
std::string LiteralStatement(std::string_view line);

}  // namespace skerry::reference

#endif
