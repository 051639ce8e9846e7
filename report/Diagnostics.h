// Diagnostic lines: "path(line): error style: message".
#ifndef SKERRY_REPORT_DIAGNOSTICS_H
#define SKERRY_REPORT_DIAGNOSTICS_H

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace skerry {

// An ordered list of diagnostic lines, appended to only. The lines are kept
// in one growing buffer, each ended by a line feed, so that millions of them
// cost little more than their text.
class DiagnosticList {
 public:
  void Append(std::string_view line) { Append({line}); }
  // Appends one line made of the parts, in order.
  void Append(std::initializer_list<std::string_view> parts);
  // Appends every line of another list, in its order.
  void AppendAll(const DiagnosticList& other) {
    text_.append(other.text_);
    count_ += other.count_;
  }
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // All lines, each followed by a line feed.
  const std::string& Text() const { return text_; }
  void clear() {
    text_.clear();
    count_ = 0;
  }

 private:
  std::string text_;
  std::size_t count_ = 0;
};

// The diagnostics of a whole run, held until the end. The text is kept in
// blocks of a fixed size that are filled one after the other, so that the
// memory it takes stays within one block of its length (one growing buffer
// would double, and copy itself, as it grows).
class DiagnosticListing {
 public:
  // Appends every line of list, in its order.
  void AppendAll(const DiagnosticList& list);
  std::size_t size() const { return count_; }
  // Writes every line to out, in order, and flushes.
  void Write(std::FILE* out) const;

 private:
  static constexpr std::size_t kBlockSize = 1 << 20;
  std::vector<std::string> blocks_;
  std::size_t count_ = 0;
};

// Formats one diagnostic line and appends it to list.
void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message);

}  // namespace skerry

#endif
