// The stream a run's report is written to.
#ifndef SKERRY_REPORT_OUTPUT_STREAM_H
#define SKERRY_REPORT_OUTPUT_STREAM_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace skerry {

/// A write that did not reach the output. what() is the system's text for
/// the reason ("No space left on device"); the checker then ends with
/// "cannot write output : <what()>" on standard error and exit code 2
/// (ReliabilityTest: UnwritableOutput).
class OutputFailure : public std::runtime_error {
 public:
  explicit OutputFailure(const std::string& reason) : std::runtime_error(reason) {}
};

/// Where the report goes. Write hands on all of text or throws
/// OutputFailure: nothing is dropped in silence.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual void Write(std::string_view text) = 0;
  /// Writes length bytes of the open file fd, from offset on. Throws
  /// std::runtime_error when the file cannot be read. The default reads it in
  /// pieces (with no memory of its own) and writes them.
  virtual void WriteFileRange(int fd, std::uint64_t offset, std::uint64_t length);
  /// Writes text and a line feed in one write.
  void WriteLine(std::string_view text);
};

}  // namespace skerry

#endif
