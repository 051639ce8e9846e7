#include "driver/SourceTreeWalk.h"

#include <string>
#include <utility>
#include <vector>

namespace skerry {

namespace fs = boost::filesystem;

namespace {

void Walk(const fs::path& directory, WalkVisitor& visitor, const FileSystem& files, std::vector<PathStatus>& walkPath) {
  std::vector<fs::path> names;
  std::string error;
  files.ListDirectory(directory, names, error);
  for (const fs::path& name : names) {
    const fs::path entry = JoinEntryPath(directory, name);
    if (visitor.Skip(entry)) continue;
    const PathStatus status = files.Stat(entry);
    // A missing target (a broken link) is not an error here: such an entry
    // is examined like any other file.
    if (status.type == PathStatus::Type::kUnknown) {
      visitor.OnNotice({WalkNotice::Kind::kUnknownType, entry, status.error});
    } else if (status.type == PathStatus::Type::kDirectory) {
      bool onWalkPath = false;
      for (const PathStatus& ancestor : walkPath) onWalkPath = onWalkPath || ancestor.SameDirectory(status);
      if (onWalkPath) {
        visitor.OnNotice({WalkNotice::Kind::kLinkCycle, entry, ""});
      } else {
        walkPath.push_back(status);
        Walk(entry, visitor, files, walkPath);
        walkPath.pop_back();
      }
    } else {
      visitor.OnFile(entry);
    }
  }
  if (!error.empty()) visitor.OnNotice({WalkNotice::Kind::kUnreadableDirectory, directory, std::move(error)});
}

}  // namespace

fs::path JoinEntryPath(const fs::path& directory, const fs::path& name) {
  // Joined in the native form (wide on Windows), so that no name is lost
  // to a code page on the way.
  fs::path::string_type text = directory.native();
  constexpr fs::path::value_type kSeparator = fs::path::preferred_separator;
  const bool endsWithSeparator =
      !text.empty() && (text.back() == '/' || text.back() == kSeparator || (kSeparator == '\\' && text.back() == ':'));
  if (!text.empty() && !endsWithSeparator) text.push_back(kSeparator);
  text.append(name.native());
  return fs::path(text);
}

void WalkSourceTree(const fs::path& directory, WalkVisitor& visitor, const FileSystem& files) {
  std::vector<PathStatus> walkPath{files.Stat(directory)};
  Walk(directory, visitor, files, walkPath);
}

}  // namespace skerry
