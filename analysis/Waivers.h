// Waiver comments: the lines of a file whose diagnostics are not reported.
#ifndef SKERRY_ANALYSIS_WAIVERS_H
#define SKERRY_ANALYSIS_WAIVERS_H

#include <cstdint>
#include <vector>

#include "analysis/SourceLines.h"

namespace skerry {

// The waivers of one file, read from its lines:
//   "skerry-lint: allow" waives the diagnostics of its own line;
//   "skerry-lint: allow-next-line" those of the line below it (a macro
//     continued over lines, generated code: lines that cannot carry a
//     comment of their own);
//   "skerry-lint: allow-file-name" on the first line waives the file-name
//     diagnostics (line 0) and nothing else.
// "allow" must not run on into a longer word ("allowed", "allow-this"):
// such text waives nothing. Any comment style will do; the text is looked
// for as it stands.
class Waivers {
 public:
  Waivers() = default;
  static Waivers Of(const SourceLines& lines);

  // Whether the diagnostics of line (0: the file name) are waived.
  bool Waives(int32_t line) const;
  bool empty() const { return lines_.empty() && !fileName_; }

 private:
  std::vector<int32_t> lines_;  // ascending
  bool fileName_ = false;
};

}  // namespace skerry

#endif
