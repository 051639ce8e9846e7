// Diagnostic lines: "path(line): error style: message".
#ifndef SKERRY_REPORT_DIAGNOSTICS_H
#define SKERRY_REPORT_DIAGNOSTICS_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "report/OutputStream.h"
#include "report/SpillFile.h"
#include "report/TextBlocks.h"

namespace skerry {

/// The diagnostic lines of one file, in the order appended. With a spill
/// file, only the block being filled and up to memoryBound bytes of filled
/// blocks stay in memory: a file with a huge report holds about that much
/// of it.
class DiagnosticList {
 public:
  explicit DiagnosticList(SpillFile* spill = nullptr, std::size_t memoryBound = 0) : blocks_(spill, memoryBound) {}
  void Append(std::string_view line) { Append({line}); }
  /// Appends one line made of the parts, in order.
  void Append(std::initializer_list<std::string_view> parts) {
    blocks_.AppendLine(parts);
    ++count_;
  }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  /// All lines, each followed by a line feed.
  std::string Text() const { return blocks_.Text(); }
  /// Writes all lines to out, in order (whole lines or pieces of them).
  void WriteTo(OutputStream& out) const { blocks_.WriteTo(out); }
  void clear() {
    blocks_.clear();
    count_ = 0;
  }
  /// The lines' blocks, to be taken over; the list counts as empty after.
  TextBlocks&& TakeBlocks() {
    count_ = 0;
    return std::move(blocks_);
  }

 private:
  TextBlocks blocks_;
  std::size_t count_ = 0;
};

/// How much diagnostic text a run holds in memory; the rest waits in a
/// temporary file.
constexpr std::size_t kListingMemoryBound = std::size_t{16} << 20;

/// The diagnostics of a whole run, held until the end. Up to memoryBound
/// bytes stay in memory; beyond it the oldest blocks move to the run's
/// SpillFile, and when that cannot be created or written they stay in memory
/// after all. Memory thus stays bounded however long the report grows
/// (ReliabilityTest: ReportLargerThanMemoryLimit; DiagnosticsTest).
class DiagnosticListing {
 public:
  explicit DiagnosticListing(std::size_t memoryBound = kListingMemoryBound) : blocks_(&spill_, memoryBound) {}
  /// The temporary file of the run, for the lists of its files.
  SpillFile* Spill() { return &spill_; }
  /// Appends every line of list, in its order; list is left empty. When
  /// memory runs out, nothing of list is appended and the failure thrown.
  void AppendAll(DiagnosticList&& list);
  std::size_t size() const { return count_; }
  /// Writes every line to out, in order.
  void Write(OutputStream& out) const { blocks_.WriteTo(out); }

 private:
  SpillFile spill_;
  TextBlocks blocks_;
  std::size_t count_ = 0;
};

/// Formats one diagnostic line and appends it to list.
void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message);

}  // namespace skerry

#endif
