// Diagnostic lines: "path(line): error style: message".
#ifndef SKERRY_REPORT_DIAGNOSTICS_H
#define SKERRY_REPORT_DIAGNOSTICS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace skerry {

// An ordered list of diagnostic lines, appended to only. The lines are kept
// in one growing buffer, each ended by a line feed, so that millions of them
// cost little more than their text.
class DiagnosticList {
 public:
  void Append(std::string_view line);
  // Appends every line of another list, in its order.
  void AppendAll(const DiagnosticList& other) { text_.append(other.text_); count_ += other.count_; }
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

// Formats one diagnostic line and appends it to list.
void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message);

// Writes every line of list to out, in order, and flushes.
void WriteDiagnosticListing(const DiagnosticList& list, std::FILE* out);

}  // namespace skerry

#endif
