// The checker's standard streams.
#ifndef SKERRY_DRIVER_CONSOLE_OUTPUT_H
#define SKERRY_DRIVER_CONSOLE_OUTPUT_H

#include <boost/filesystem/path.hpp>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "driver/WalkNotice.h"
#include "report/OutputStream.h"

namespace skerry {

/// Standard output, written without buffering: every write reaches the
/// descriptor before Write returns, or throws OutputFailure
/// (ReliabilityTest: UnwritableOutput). A reader that has gone away ends the
/// process by SIGPIPE, as usual; only when SIGPIPE is ignored does that
/// count as a failed write.
class StandardOutput : public OutputStream {
 public:
  /// descriptor 2 makes it standard error.
  explicit StandardOutput(int descriptor = 1) : fd_(descriptor) {}
  void Write(std::string_view text) override;
  void WriteFileRange(int fd, std::uint64_t offset, std::uint64_t length) override;
  /// Closes standard output, which reports a failure some file systems
  /// only give at the close; throws OutputFailure.
  void Close();

 private:
  int fd_;
};

/// Opens /dev/null on standard input and standard error when they are
/// closed, so that no file the run opens can take their place; on Windows,
/// puts standard output in text mode (CR LF line ends). Returns false when
/// standard output itself is closed: the report cannot be written.
bool PrepareStandardStreams();

/// Writes "cannot write output : <reason>" to standard error.
void ReportOutputFailure(const std::string& reason);

/// The frame of a program's main: prepares the standard streams, returns
/// what run returns and closes out. Any other failure inside run is written
/// to abortTo as abortPrefix and its reason, and the exit code is 2; a
/// failed or closed out is reported by ReportOutputFailure, exit code 2.
int RunReportingFailures(StandardOutput& out, StandardOutput& abortTo, const std::string& abortPrefix,
                         const std::function<int()>& run);

/// The quoted form of a path: between double quotes, with every double
/// quote and every ampersand preceded by an ampersand.
std::string QuotedForm(const boost::filesystem::path& path);

/// The line that reports a notice of the walk: "Cannot determine type : ",
/// "Link cycle not followed : " or "Cannot read directory : ", the quoted
/// path and, but for a link cycle, " (reason)". No line feed.
std::string NoticeLine(const WalkNotice& notice);

}  // namespace skerry

#endif
