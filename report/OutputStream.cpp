#include "report/OutputStream.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace skerry {

void OutputStream::WriteLine(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text).push_back('\n');
  Write(line);
}

void OutputStream::WriteFileRange(int fd, std::uint64_t offset, std::uint64_t length) {
#ifdef _WIN32
  (void)fd;
  (void)offset;
  if (length > 0) throw std::runtime_error("cannot read temporary file : not supported");
#else
  char piece[1 << 16];
  while (length > 0) {
    const std::size_t want = length < sizeof piece ? static_cast<std::size_t>(length) : sizeof piece;
    ssize_t got = ::pread(fd, piece, want, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      throw std::runtime_error(std::string("cannot read temporary file : ") +
                               (got < 0 ? std::strerror(errno) : "unexpected end of file"));
    }
    Write(std::string_view(piece, static_cast<std::size_t>(got)));
    offset += static_cast<std::uint64_t>(got);
    length -= static_cast<std::uint64_t>(got);
  }
#endif
}

}  // namespace skerry
