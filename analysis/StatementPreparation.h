// From a line of C to the statement text the scanner's patterns search, and
// the hand-written tests of that text that stand in for documented patterns
// (each proven equal to its pattern in tests/PrefilterTest.cpp,
// tests/LineScannerTest.cpp and fuzz/ScanLineFuzzer.cpp).
#ifndef SKERRY_ANALYSIS_STATEMENT_PREPARATION_H
#define SKERRY_ANALYSIS_STATEMENT_PREPARATION_H

#include <cstddef>
#include <string>
#include <string_view>

namespace skerry {

// The statement text of a line: one blank, the prepared line and one blank.
// The prepared line is the line with every tab replaced by two blanks (empty
// when the line is a first-column comment), every backslash replaced by a
// blank, the qualifier words const, volatile, static and inline (any case
// for inline) that a blank follows removed, and trimmed. Returns false when
// the prepared line is empty; statement then holds nothing of use. Sets
// *lineShift such that statement[i] stands for lineText[i + *lineShift]
// wherever the preparation changed nothing between there and the end of the
// prepared line (a caller that relies on it compares the texts).
bool PrepareStatement(std::string_view lineText, std::string& statement, std::ptrdiff_t* lineShift = nullptr);

// Whether the line is a first-column comment ("^[/][/].*" matches it whole;
// tests/PrefilterTest.cpp, StatementAndCommentTestMatchThePatterns, like
// PrepareStatement).
bool IsLineComment(std::string_view line);

// The length of text[0, size) once the qualifier words that end at its end
// are dropped, one after the other.
std::size_t WithoutTrailingQualifiers(const char* text, std::size_t size);

// The macro name that a search with the documented pattern
// "^.*([ ]+[#]define)[ ]+([A-Za-z0-9_]+).*" takes as group 2; empty when
// the pattern does not match.
std::string_view FindDefineName(std::string_view text);

// The position of the word that "(^.*[ ])(extern)([ ].*$)" takes as group
// 2 in statement, or npos when the pattern does not match.
std::size_t FindExternWord(std::string_view statement);

}  // namespace skerry

#endif
