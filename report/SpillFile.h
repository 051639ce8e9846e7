// Text that waits on disk instead of in memory.
#ifndef SKERRY_REPORT_SPILL_FILE_H
#define SKERRY_REPORT_SPILL_FILE_H

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

#include "report/OutputStream.h"

namespace skerry {

/// An unnamed temporary file that pieces of text are stored in and written
/// out from. It is created at the first store in $TMPDIR (or /tmp when
/// TMPDIR is unset or empty) without a name on disk, so nothing is left
/// behind even when the process is killed. Several threads may store at
/// once (ReliabilityTest: ReportLargerThanMemoryLimit; DiagnosticsTest).
class SpillFile {
 public:
  SpillFile() = default;
  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  /// Stores text and sets offset to where it begins. Returns false, storing
  /// nothing, when the file cannot be created (no such folder, no
  /// permission, read-only) or written (full); after a failure every later
  /// store returns false too, and what is stored stays readable.
  bool Store(std::string_view text, std::uint64_t& offset);
  /// Writes length bytes stored from offset on to out.
  void WriteRange(OutputStream& out, std::uint64_t offset, std::uint64_t length) const;

 private:
  bool Open();
  std::mutex mutex_;  // guards fd_ while it is opened and end_
  int fd_ = -1;
  std::atomic<bool> failed_{false};
  std::uint64_t end_ = 0;
};

}  // namespace skerry

#endif
