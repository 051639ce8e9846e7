// Linked into a program beside driver/Main.cpp: the checker with every
// pattern on the std::regex reference engine, a slower program with the same
// output that bench/run compares with the checker (target skerry_lint_std).
#include "analysis/Pattern.h"
#include "tests/reference/StdRegexEngine.h"

namespace skerry {
namespace {

// Before main, so before any pattern is compiled.
[[maybe_unused]] const bool kStdRegexIsProduct = (PatternEngine::UseAsProduct(StdRegexEngine()), true);

}  // namespace
}  // namespace skerry
