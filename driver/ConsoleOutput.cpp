#include "driver/ConsoleOutput.h"

#include <boost/filesystem/path.hpp>
#include <cerrno>
#include <cstring>
#include <exception>
#include <sstream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/sendfile.h>
#endif

namespace skerry {

namespace {

[[noreturn]] void Fail(int error) { throw OutputFailure(std::strerror(error)); }

#ifndef _WIN32
// A descriptor left non-blocking by whoever started the checker: wait until
// it takes more.
void AwaitWritable(int fd) {
  pollfd descriptor{fd, POLLOUT, 0};
  while (::poll(&descriptor, 1, -1) < 0 && errno == EINTR) {
  }
}
#endif

}  // namespace

void StandardOutput::Write(std::string_view text) {
  while (!text.empty()) {
#ifdef _WIN32
    const unsigned piece = text.size() < (1u << 30) ? static_cast<unsigned>(text.size()) : (1u << 30);
    int written = ::_write(fd_, text.data(), piece);
    if (written <= 0) Fail(written < 0 ? errno : EIO);
#else
    ssize_t written = ::write(fd_, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      AwaitWritable(fd_);
      continue;
    }
    if (written <= 0) Fail(written < 0 ? errno : EIO);
#endif
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

void StandardOutput::WriteFileRange(int fd, std::uint64_t offset, std::uint64_t length) {
#ifdef __linux__
  // The kernel copies the bytes over; when it cannot (a failed read or
  // write, an output it does not support), the pieces written by hand tell
  // which side failed.
  while (length > 0) {
    off_t at = static_cast<off_t>(offset);
    const std::size_t want = length < (std::uint64_t{1} << 30) ? static_cast<std::size_t>(length) : (1u << 30);
    ssize_t sent = ::sendfile(fd_, fd, &at, want);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      AwaitWritable(fd_);
      continue;
    }
    if (sent <= 0) break;
    offset += static_cast<std::uint64_t>(sent);
    length -= static_cast<std::uint64_t>(sent);
  }
#endif
  OutputStream::WriteFileRange(fd, offset, length);
}

void StandardOutput::Close() {
#ifdef _WIN32
  if (::_close(fd_) != 0) Fail(errno);
#else
  // After an interrupted close the descriptor is gone all the same.
  if (::close(fd_) != 0 && errno != EINTR) Fail(errno);
#endif
}

bool PrepareStandardStreams() {
#ifdef _WIN32
  // Lines end in CR LF, as every Windows console program writes them (the C
  // runtime's text mode), whatever the caller set up: what editors, the
  // console and line-oriented tools there expect.
  return ::_setmode(1, _O_TEXT) != -1;
#else
  const bool outputOpen = ::fcntl(1, F_GETFD) != -1 || errno != EBADF;
  for (int fd : {0, 2}) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
      if (opened >= 0 && opened != fd) {
        ::dup2(opened, fd);
        ::close(opened);
      }
    }
  }
  return outputOpen;
#endif
}

void ReportOutputFailure(const std::string& reason) {
  const std::string line = "cannot write output : " + reason + "\n";
#ifdef _WIN32
  (void)!::_write(2, line.data(), static_cast<unsigned>(line.size()));
#else
  (void)!::write(2, line.data(), line.size());
#endif
}

int RunReportingFailures(StandardOutput& out, StandardOutput& abortTo, const std::string& abortPrefix,
                         const std::function<int()>& run) {
  try {
    if (!PrepareStandardStreams()) throw OutputFailure(std::strerror(EBADF));
    int exitCode;
    try {
      exitCode = run();
    } catch (const OutputFailure&) {
      throw;
    } catch (const std::exception& failure) {
      // A failure before the scan began (or while the listing is written):
      // say so rather than end without a word, and never report the run as
      // completed.
      abortTo.WriteLine(abortPrefix + failure.what());
      exitCode = 2;
    }
    out.Close();
    return exitCode;
  } catch (const OutputFailure& failure) {
    // The report is lost or cut: a failed run, said where it can be seen.
    ReportOutputFailure(failure.what());
    return 2;
  }
}

std::string QuotedForm(const boost::filesystem::path& path) {
  // Boost.Filesystem writes a path quoted, with "&" as the escape character.
  std::ostringstream out;
  out << path;
  return out.str();
}

std::string NoticeLine(const WalkNotice& notice) {
  switch (notice.kind) {
    case WalkNotice::Kind::kUnknownType:
      return "Cannot determine type : " + QuotedForm(notice.path) + " (" + notice.reason + ")";
    case WalkNotice::Kind::kLinkCycle:
      return "Link cycle not followed : " + QuotedForm(notice.path);
    case WalkNotice::Kind::kUnreadableDirectory:
      return "Cannot read directory : " + QuotedForm(notice.path) + " (" + notice.reason + ")";
  }
  return std::string();
}

}  // namespace skerry
