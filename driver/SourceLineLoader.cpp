#include "driver/SourceLineLoader.h"

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

#ifdef _WIN32

bool LoadSourceLines(SourceLines& lines, const boost::filesystem::path& path) {
  std::ifstream in(path.native(), std::ios::binary);
  if (!in) return false;
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
  lines = SourceLines::FromBytes(std::move(bytes));
  return true;
}

#else

bool LoadSourceLines(SourceLines& lines, const boost::filesystem::path& path) {
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
  std::string bytes;
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
  lines = SourceLines::FromBytes(std::move(bytes));
  return true;
}

#endif

}  // namespace skerry
