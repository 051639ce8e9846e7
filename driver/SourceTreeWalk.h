// Depth-first walk over a directory tree.
#ifndef SKERRY_DRIVER_SOURCE_TREE_WALK_H
#define SKERRY_DRIVER_SOURCE_TREE_WALK_H

#include <boost/filesystem/path.hpp>
#include <string>

#include "driver/FileSystem.h"

namespace skerry {

// Receives what the walk meets, in walk order.
class WalkVisitor {
 public:
  virtual ~WalkVisitor() = default;
  // An entry that is not a directory (links followed): a candidate file.
  virtual void OnFile(const boost::filesystem::path& path) = 0;
  // A line to print where the walk met something it could not follow.
  virtual void OnNotice(std::string line) = 0;
};

// Visits every entry below directory, in the order the directory listing
// returns them, descending into each subdirectory (and link to one) before
// the next entry. A directory link that leads back to a directory on the
// current walk path is not followed again; a directory that cannot be
// listed, or an entry whose type cannot be determined, is reported through
// OnNotice and the walk goes on. Everything is read through files
// (RunSpineTest: Walk; ReliabilityTest: LinkCyclesAreNotFollowed).
void WalkSourceTree(const boost::filesystem::path& directory, WalkVisitor& visitor, const FileSystem& files);

// The entry path: directory and name joined by the preferred separator (a
// backslash on Windows), without one where the directory already ends with
// a separator (or, on Windows, a drive's colon: "Z:" and "x.c" give "Z:x.c").
boost::filesystem::path JoinEntryPath(const boost::filesystem::path& directory, const boost::filesystem::path& name);

}  // namespace skerry

#endif
