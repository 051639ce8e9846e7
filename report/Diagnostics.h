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

// The size of the blocks that diagnostic text is kept in.
constexpr std::size_t kDiagnosticBlockSize = std::size_t{1} << 20;

// An ordered list of diagnostic lines, appended to only. The lines, each
// ended by a line feed, are kept in one growing buffer until it reaches a
// block's size, then in further blocks of that size that are filled one
// after the other: millions of lines cost little more than their text, and
// a large list is never copied as it grows.
class DiagnosticList {
 public:
  void Append(std::string_view line) { Append({line}); }
  // Appends one line made of the parts, in order.
  void Append(std::initializer_list<std::string_view> parts);
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // All lines, each followed by a line feed.
  std::string Text() const;
  void clear() {
    full_.clear();
    text_.clear();
    count_ = 0;
  }

 private:
  friend class DiagnosticListing;
  std::vector<std::string> full_;  // blocks that are filled, in order
  std::string text_;               // the block being filled
  std::size_t count_ = 0;
};

// The diagnostics of a whole run, held until the end, in blocks of about
// the same size as those of a list: the memory it takes stays within a few
// blocks of its length. A list's filled blocks are taken over as they are;
// the rest of its text is copied into the block being filled.
class DiagnosticListing {
 public:
  // Appends every line of list, in its order; list is left empty.
  void AppendAll(DiagnosticList&& list);
  std::size_t size() const { return count_; }
  // Writes every line to out, in order, and flushes.
  void Write(std::FILE* out) const;

 private:
  void Copy(std::string_view text);
  std::vector<std::string> blocks_;
  std::size_t count_ = 0;
};

// Formats one diagnostic line and appends it to list.
void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message);

}  // namespace skerry

#endif
