// Where the tests find the files of the source tree.
#ifndef SKERRY_TESTS_SOURCE_PATH_H
#define SKERRY_TESTS_SOURCE_PATH_H

#include <string>

namespace skerry::test {

// The path of a file of the source tree, relative to the folder that holds
// CMakeLists.txt (wherever the build folder is).
inline std::string SourcePath(const std::string& relative) { return std::string(SKERRY_SOURCE_DIR) + "/" + relative; }

}  // namespace skerry::test

#endif
