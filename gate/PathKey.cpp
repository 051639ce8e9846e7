#include "gate/PathKey.h"

#include <vector>

namespace skerry {

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '/' || c == '\\';
#else
  return c == '/';
#endif
}

// The length of the root at the start of path: "/" (1), "C:/" (3), "C:" (2),
// "//server/share/" on Windows; 0 for a relative path.
std::size_t RootLength(std::string_view path) {
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    std::size_t at = 2;
    for (int names = 0; names < 2 && at < path.size(); ++names) {
      while (at < path.size() && !IsSeparator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
#endif
  return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::string NormalizedPath(std::string_view path) {
  const std::size_t rootLength = RootLength(path);
  std::string root(path.substr(0, rootLength));
  for (char& c : root) {
    if (IsSeparator(c)) c = '/';
  }
  std::vector<std::string_view> names;
  std::size_t at = rootLength;
  while (at < path.size()) {
    std::size_t end = at;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string_view name = path.substr(at, end - at);
    if (name == "..") {
      if (!names.empty() && names.back() != "..") {
        names.pop_back();
      } else if (rootLength == 0) {
        names.push_back(name);
      }
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    at = end + 1;
  }
  std::string result = root;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) result.push_back('/');
    result.append(names[i]);
  }
  return result;
}

bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
  const std::size_t root = RootLength(path);
  return root > 2 || (root == 1);
#else
  return RootLength(path) > 0;
#endif
}

std::string AbsolutePath(std::string_view path, std::string_view folder) {
  if (IsAbsolutePath(path)) return NormalizedPath(path);
  std::string joined(folder);
  joined.push_back('/');
  joined.append(path);
  return NormalizedPath(joined);
}

bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  if (path.substr(0, folder.size()) != folder) return false;
  if (path.size() == folder.size()) return true;
  return folder.empty() || folder.back() == '/' || path[folder.size()] == '/';
}

std::string KeyBelow(std::string_view path, std::string_view folder) {
  if (!IsAtOrBelow(path, folder)) return std::string(path);
  std::string_view rest = path.substr(folder.size());
  if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  return std::string(rest);
}

std::string JoinKey(std::string_view folder, std::string_view path) {
  if (folder.empty()) return std::string(path);
  if (path.empty()) return std::string(folder);
  std::string joined(folder);
  if (joined.back() != '/') joined.push_back('/');
  joined.append(path);
  return joined;
}

}  // namespace skerry
