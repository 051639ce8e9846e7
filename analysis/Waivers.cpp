#include "analysis/Waivers.h"

#include <algorithm>
#include <string_view>

#include "analysis/TextHelpers.h"

namespace skerry {

namespace {

constexpr std::string_view kMark = "skerry-lint: allow";

enum class Kind { kNone, kLine, kNextLine, kFileName };

// What one waiver text at the start of rest is: the mark, then nothing that
// continues a word, or one of the two longer forms.
Kind KindAt(std::string_view rest) {
  rest.remove_prefix(kMark.size());
  auto ends = [](std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || !(IsNameChar(text[word.size()]) || text[word.size()] == '-'));
  };
  if (ends(rest, "")) return Kind::kLine;
  if (ends(rest, "-next-line")) return Kind::kNextLine;
  if (ends(rest, "-file-name")) return Kind::kFileName;
  return Kind::kNone;
}

}  // namespace

Waivers Waivers::Of(const SourceLines& lines) {
  Waivers waivers;
  if (!lines.Contains(kMark)) return waivers;
  lines.ForEachReverse([&](std::string_view line, int32_t number) {
    for (std::size_t at = line.find(kMark); at != std::string_view::npos; at = line.find(kMark, at + 1)) {
      switch (KindAt(line.substr(at))) {
        case Kind::kLine:
          waivers.lines_.push_back(number);
          break;
        case Kind::kNextLine:
          waivers.lines_.push_back(number + 1);
          break;
        case Kind::kFileName:
          if (number == 1) waivers.fileName_ = true;
          break;
        case Kind::kNone:
          break;
      }
    }
  });
  std::sort(waivers.lines_.begin(), waivers.lines_.end());
  waivers.lines_.erase(std::unique(waivers.lines_.begin(), waivers.lines_.end()), waivers.lines_.end());
  return waivers;
}

bool Waivers::Waives(int32_t line) const {
  if (line == 0) return fileName_;
  return std::binary_search(lines_.begin(), lines_.end(), line);
}

}  // namespace skerry
