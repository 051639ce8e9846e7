// Where the tests find files of the source tree, wherever the build folder
// is.
#ifndef SKERRY_TESTS_SOURCE_PATH_H
#define SKERRY_TESTS_SOURCE_PATH_H

#include <string>

#ifndef SKERRY_SOURCE_DIR
#error "SKERRY_SOURCE_DIR must name the folder that holds CMakeLists.txt"
#endif

namespace skerry::test {

// The path of a file of the source tree, relative to the folder that holds
// CMakeLists.txt.
inline std::string SourcePath(const std::string& relative) { return std::string(SKERRY_SOURCE_DIR) + "/" + relative; }

}  // namespace skerry::test

#endif
