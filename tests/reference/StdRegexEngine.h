// The reference engine of the pattern facade: std::regex in ECMAScript mode,
// the grammar the checker's patterns are written for.
#ifndef SKERRY_TESTS_REFERENCE_STD_REGEX_ENGINE_H
#define SKERRY_TESTS_REFERENCE_STD_REGEX_ENGINE_H

#include "analysis/Pattern.h"

namespace skerry {

// Case-insensitive matching is its only option. The library's matcher
// recurses once per character of some repeats and so exhausts the stack on
// lines of a few tens of thousands of characters: tests give it short lines.
const PatternEngine& StdRegexEngine();

}  // namespace skerry

#endif
