// Depth-first walk over a directory tree.
#ifndef SKERRY_DRIVER_SOURCE_TREE_WALK_H
#define SKERRY_DRIVER_SOURCE_TREE_WALK_H

#include <boost/filesystem/path.hpp>
#include <string>

#include "driver/FileSystem.h"
#include "driver/WalkNotice.h"

namespace skerry {

// Receives what the walk meets, in walk order.
class WalkVisitor {
 public:
  virtual ~WalkVisitor() = default;
  // An entry that is not a directory (links followed): a candidate file.
  virtual void OnFile(const boost::filesystem::path& path) = 0;
  // Something the walk met and could not follow; the walk goes on.
  virtual void OnNotice(WalkNotice notice) = 0;
  // Whether to pass over an entry without looking at it (a folder is then
  // not read at all). Asked first, for every entry.
  virtual bool Skip(const boost::filesystem::path& /*entry*/) { return false; }
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
