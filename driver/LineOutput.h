// Line output for code that builds without Boost: the version banner, whose
// Windows path is also compile-checked with a cross compiler that has no
// Boost. The function is defined in ConsoleOutput.cpp; ConsoleOutput.h
// adds the rest of the console helpers.
#ifndef SKERRY_DRIVER_LINE_OUTPUT_H
#define SKERRY_DRIVER_LINE_OUTPUT_H

#include <string_view>

namespace skerry {

// Writes text and a line feed to standard output, and flushes.
void WriteLine(std::string_view text);

}  // namespace skerry

#endif
