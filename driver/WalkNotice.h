// Something the walk over a source tree met and could not follow.
#ifndef SKERRY_DRIVER_WALK_NOTICE_H
#define SKERRY_DRIVER_WALK_NOTICE_H

#include <boost/filesystem/path.hpp>
#include <string>

namespace skerry {

struct WalkNotice {
  enum class Kind {
    kUnknownType,          // an entry whose type cannot be determined
    kLinkCycle,            // a link to a folder on the current walk path, not followed
    kUnreadableDirectory,  // a folder that cannot be listed (after the entries it did give)
  };
  Kind kind = Kind::kUnknownType;
  boost::filesystem::path path;  // the entry, or the folder, as the walk reached it
  std::string reason;            // the system's text; empty for a link cycle
};

}  // namespace skerry

#endif
