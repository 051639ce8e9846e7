// The --exclude patterns of the gate.
#ifndef SKERRY_GATE_EXCLUSIONS_H
#define SKERRY_GATE_EXCLUSIONS_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/Pattern.h"

namespace skerry {

// The regular expression of one glob: a pattern holding "/" (other than at
// its end) is matched from the start of the path, one without against any of
// its names, as in .gitignore; either also matches everything below a
// matching folder. "*" and "?" do not cross "/", "**" does, [...] is a class
// ([!...] and [^...] negated). A leading "./" is ignored.
std::string GlobExpression(std::string_view glob);

class Exclusions {
 public:
  explicit Exclusions(const std::vector<std::string>& globs);
  bool empty() const { return pattern_ == nullptr; }
  // False when the globs make no valid expression (an unmatched class, say).
  bool Valid() const { return pattern_ == nullptr || pattern_->Valid(); }
  // Whether a normalised path (no "./", "/" between names) is left out.
  bool Excludes(std::string_view path) const { return pattern_ != nullptr && pattern_->WholeMatch(path); }

 private:
  std::unique_ptr<Pattern> pattern_;
};

}  // namespace skerry

#endif
