// The lines of one file, as the checker reads them.
#ifndef SKERRY_ANALYSIS_SOURCE_LINES_H
#define SKERRY_ANALYSIS_SOURCE_LINES_H

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/TextHelpers.h"

namespace skerry {

// The file's bytes are kept in one buffer and split into lines on demand:
// a line is the text up to (not including) a line feed; a carriage return
// directly before the line feed is not part of it, one anywhere else is; a
// byte 0x1A ends the text; the empty remainder after a final line feed is
// not a line. Lines are numbered from 1. Holding the bytes rather than one
// string per line keeps memory at the size of the file whatever its shape.
class SourceLines {
 public:
  SourceLines() = default;
  // Takes the file's bytes as read (binary), applying the rules above.
  static SourceLines FromBytes(std::string bytes);

  int32_t Count() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Whether word occurs in the text (so possibly in a line); false means that
  // no line holds it. word[anchor] is the character looked for first (see
  // skerry::Contains).
  bool Contains(std::string_view word, std::size_t anchor = 0) const { return skerry::Contains(text_, word, anchor); }

  // Calls visit(line, number) for every line from the last to the first.
  template <class Visit>
  void ForEachReverse(Visit&& visit) const {
    std::size_t end = text_.size();
    if (end == 0) return;
    bool terminated = text_[end - 1] == '\n';
    if (terminated) --end;
    int32_t number = count_;
    const char* base = text_.data();
    for (;;) {
      const std::size_t found = FindLast(std::string_view(base, end), '\n');
      const std::size_t start = found == std::string_view::npos ? 0 : found + 1;
      std::size_t length = end - start;
      if (terminated && length > 0 && base[start + length - 1] == '\r') --length;
      visit(std::string_view(base + start, length), number);
      --number;
      if (found == std::string_view::npos) break;
      end = start - 1;
      terminated = true;
    }
  }

  // The lines in file order (a convenience for tests and tools).
  std::vector<std::string_view> Lines() const;

 private:
  std::string text_;
  int32_t count_ = 0;
};

}  // namespace skerry

#endif
