#include "driver/SourceTreeWalk.h"

#include <boost/filesystem/operations.hpp>
#include <vector>

#include "driver/ConsoleOutput.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace skerry {

namespace fs = boost::filesystem;

namespace {

// Identifies a directory independently of the path that reached it.
struct DirectoryIdentity {
#ifdef _WIN32
  std::string canonical;
  bool operator==(const DirectoryIdentity& other) const { return canonical == other.canonical; }
#else
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const DirectoryIdentity& other) const { return device == other.device && inode == other.inode; }
#endif
};

bool IdentifyDirectory(const fs::path& path, DirectoryIdentity& identity) {
#ifdef _WIN32
  boost::system::error_code error;
  fs::path canonical = fs::canonical(path, error);
  if (error) return false;
  identity.canonical = canonical.string();
  return true;
#else
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  identity.device = info.st_dev;
  identity.inode = info.st_ino;
  return true;
#endif
}

void Walk(const fs::path& directory, WalkVisitor& visitor, std::vector<DirectoryIdentity>& walkPath) {
  boost::system::error_code error;
  fs::directory_iterator it(directory, error);
  if (error) {
    visitor.OnNotice("Cannot read directory : " + QuotedForm(directory) + " (" + error.message() + ")");
    return;
  }
  for (const fs::directory_iterator end; it != end;) {
    const fs::path entry = JoinEntryPath(directory, it->path().filename());
    fs::file_status status = fs::status(entry, error);
    // A missing target (a broken link) is not an error here: such an entry
    // is examined like any other file.
    if (error && status.type() != fs::file_not_found) {
      visitor.OnNotice("Cannot determine type : " + QuotedForm(entry) + " (" + error.message() + ")");
    } else if (fs::is_directory(status)) {
      DirectoryIdentity identity;
      bool known = IdentifyDirectory(entry, identity);
      bool onWalkPath = false;
      for (const DirectoryIdentity& ancestor : walkPath) onWalkPath = onWalkPath || (known && ancestor == identity);
      if (onWalkPath) {
        visitor.OnNotice("Link cycle not followed : " + QuotedForm(entry));
      } else {
        if (known) walkPath.push_back(identity);
        Walk(entry, visitor, walkPath);
        if (known) walkPath.pop_back();
      }
    } else {
      visitor.OnFile(entry);
    }
    it.increment(error);
    if (error) {
      visitor.OnNotice("Cannot read directory : " + QuotedForm(directory) + " (" + error.message() + ")");
      return;
    }
  }
}

}  // namespace

fs::path JoinEntryPath(const fs::path& directory, const fs::path& name) {
  std::string text = directory.string();
  bool endsWithSeparator = !text.empty() && text.back() == '/';
#ifdef _WIN32
  endsWithSeparator = endsWithSeparator || (!text.empty() && (text.back() == '\\' || text.back() == ':'));
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  if (!text.empty() && !endsWithSeparator) text.push_back(separator);
  text.append(name.string());
  return fs::path(text);
}

void WalkSourceTree(const fs::path& directory, WalkVisitor& visitor) {
  std::vector<DirectoryIdentity> walkPath;
  DirectoryIdentity root;
  if (IdentifyDirectory(directory, root)) walkPath.push_back(root);
  Walk(directory, visitor, walkPath);
}

}  // namespace skerry
