// Text that waits on disk instead of in memory.
#ifndef SKERRY_REPORT_SPILL_FILE_H
#define SKERRY_REPORT_SPILL_FILE_H

#include <cstdint>
#include <string_view>

#include "report/OutputStream.h"

namespace skerry {

/// An unnamed temporary file that text is appended to and read back from in
/// order. It is created at the first append in $TMPDIR (or /tmp when TMPDIR
/// is unset or empty) without a name on disk, so nothing is left behind even
/// when the process is killed (ReliabilityTest: ReportLargerThanMemoryLimit).
class SpillFile {
 public:
  SpillFile() = default;
  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  /// Appends text. Returns false, keeping nothing of text, when the file
  /// cannot be created (no such folder, no permission, read-only) or written
  /// (full); after a failure every later append returns false too, and what
  /// the file already holds stays readable.
  bool Append(std::string_view text);
  /// The number of bytes appended.
  std::uint64_t size() const { return size_; }
  /// Writes every byte appended, in order, to out.
  void WriteTo(OutputStream& out) const;

 private:
  bool Open();
  int fd_ = -1;
  bool failed_ = false;
  std::uint64_t size_ = 0;
};

}  // namespace skerry

#endif
