#include "report/SpillFile.h"

#include <cerrno>
#include <cstdlib>
#include <new>
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
  try {
    const char* folder = std::getenv("TMPDIR");
    const std::string directory = folder != nullptr && *folder != '\0' ? folder : "/tmp";
#ifdef O_TMPFILE
    fd_ = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) return true;
#endif
    // No unnamed files on this system or file system: a named one,
    // unlinked at once.
    std::string name = directory + "/skerry-lint-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    if (::unlink(name.c_str()) != 0) {
      ::close(fd_);
      fd_ = -1;
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
#endif
}

bool SpillFile::Store(std::string_view text, std::uint64_t& offset) {
  if (failed_) return false;
  {
    // Each store takes its own range, then writes it without the lock.
    std::lock_guard<std::mutex> lock(mutex_);
    if (fd_ < 0 && !Open()) {
      failed_ = true;
      return false;
    }
    offset = end_;
    end_ += text.size();
  }
#ifndef _WIN32
  std::uint64_t at = offset;
  while (!text.empty()) {
    ssize_t written = ::pwrite(fd_, text.data(), text.size(), static_cast<off_t>(at));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // The range stays unused; the text stays where it was.
      failed_ = true;
      return false;
    }
    at += static_cast<std::uint64_t>(written);
    text.remove_prefix(static_cast<std::size_t>(written));
  }
#endif
  return true;
}

void SpillFile::WriteRange(OutputStream& out, std::uint64_t offset, std::uint64_t length) const {
  if (length > 0) out.WriteFileRange(fd_, offset, length);
}

}  // namespace skerry
