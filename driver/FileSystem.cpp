#include "driver/FileSystem.h"

#include <boost/filesystem/operations.hpp>
#include <string>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace skerry {

namespace fs = boost::filesystem;

PathStatus DiskFileSystem::Stat(const fs::path& path) const {
  PathStatus result;
  boost::system::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_not_found) return result;
  if (error) {
    result.type = PathStatus::Type::kUnknown;
    result.error = error.message();
    return result;
  }
  if (fs::is_regular_file(status)) {
    result.type = PathStatus::Type::kRegular;
  } else if (fs::is_directory(status)) {
    result.type = PathStatus::Type::kDirectory;
#ifdef _WIN32
    fs::path canonical = fs::canonical(path, error);
    result.identified = !error;
    if (!error) result.canonical = canonical.string();
#else
    struct stat info;
    result.identified = ::stat(path.c_str(), &info) == 0;
    if (result.identified) {
      result.device = static_cast<std::uint64_t>(info.st_dev);
      result.inode = static_cast<std::uint64_t>(info.st_ino);
    }
#endif
  } else {
    result.type = PathStatus::Type::kOther;
  }
  return result;
}

PathStatus DiskFileSystem::Identify(const fs::path& path) const {
  PathStatus result = Stat(path);
  if (result.identified || result.type != PathStatus::Type::kRegular) return result;
#ifdef _WIN32
  boost::system::error_code error;
  fs::path canonical = fs::canonical(path, error);
  result.identified = !error;
  if (!error) result.canonical = canonical.string();
#else
  struct stat info;
  result.identified = ::stat(path.c_str(), &info) == 0;
  if (result.identified) {
    result.device = static_cast<std::uint64_t>(info.st_dev);
    result.inode = static_cast<std::uint64_t>(info.st_ino);
  }
#endif
  return result;
}

void DiskFileSystem::ListDirectory(const fs::path& directory, std::vector<fs::path>& names, std::string& error) const {
  boost::system::error_code code;
  fs::directory_iterator it(directory, code);
  for (const fs::directory_iterator end; !code && it != end; it.increment(code)) {
    names.push_back(it->path().filename());
  }
  if (code) error = code.message();
}

bool DiskFileSystem::CurrentDirectory(fs::path& directory) const {
  boost::system::error_code error;
  directory = fs::current_path(error);
  return !error;
}

#ifdef _WIN32

bool DiskFileSystem::ReadFile(const fs::path& path, std::string& bytes) const {
  std::ifstream in(path.native(), std::ios::binary);
  if (!in) return false;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  return true;
}

#else

bool DiskFileSystem::ReadFile(const fs::path& path, std::string& bytes) const {
  // Only a regular file is opened: opening a device can have effects of its
  // own. The open is non-blocking all the same, so that an entry replaced by
  // a FIFO in between cannot hold the run, and the status of the opened
  // descriptor decides whether it is read at all.
  struct stat entry;
  if (::stat(path.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  std::size_t expected = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  bytes.resize(expected + 1);  // one more byte shows whether the file grew
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2 + 4096);
    ssize_t got = ::read(fd, &bytes[used], bytes.size() - used);
    if (got > 0) {
      used += static_cast<std::size_t>(got);
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      break;  // end of file, or a read error: keep what was read
    }
  }
  ::close(fd);
  bytes.resize(used);
  return true;
}

#endif

}  // namespace skerry
