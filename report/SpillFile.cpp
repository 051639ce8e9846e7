#include "report/SpillFile.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace skerry {

SpillFile::~SpillFile() {
#ifndef _WIN32
  if (fd_ >= 0) ::close(fd_);
#endif
}

bool SpillFile::Open() {
#ifdef _WIN32
  return false;
#else
  const char* folder = std::getenv("TMPDIR");
  const std::string directory = folder != nullptr && *folder != '\0' ? folder : "/tmp";
#ifdef O_TMPFILE
  fd_ = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ >= 0) return true;
#endif
  // No unnamed files on this system or file system: a named one, unlinked
  // at once.
  std::string name = directory + "/skerry-lint-XXXXXX";
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  if (::unlink(name.c_str()) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
#endif
}

bool SpillFile::Append(std::string_view text) {
  if (failed_) return false;
  if (fd_ < 0 && !Open()) {
    failed_ = true;
    return false;
  }
#ifndef _WIN32
  std::uint64_t offset = size_;
  while (!text.empty()) {
    ssize_t written = ::pwrite(fd_, text.data(), text.size(), static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // What was written of text is cut off again, so that it takes no room.
      failed_ = true;
      while (::ftruncate(fd_, static_cast<off_t>(size_)) != 0 && errno == EINTR) {
      }
      return false;
    }
    offset += static_cast<std::uint64_t>(written);
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  size_ = offset;
#endif
  return true;
}

void SpillFile::WriteTo(OutputStream& out) const {
  if (size_ > 0) out.WriteFileRange(fd_, 0, size_);
}

}  // namespace skerry
