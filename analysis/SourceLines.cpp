#include "analysis/SourceLines.h"

#include <cstring>

namespace skerry {

SourceLines SourceLines::FromBytes(std::string bytes) {
  SourceLines lines;
  std::size_t stop = bytes.find('\x1a');
  if (stop != std::string::npos) bytes.resize(stop);
  int64_t count = 0;
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr) {
    ++count;
    ++at;
  }
  if (!bytes.empty() && bytes.back() != '\n') ++count;
  lines.text_ = std::move(bytes);
  lines.count_ = static_cast<int32_t>(count);
  return lines;
}

std::vector<std::string_view> SourceLines::Lines() const {
  std::vector<std::string_view> result(static_cast<std::size_t>(count_));
  ForEachReverse([&](std::string_view line, int32_t number) { result[static_cast<std::size_t>(number - 1)] = line; });
  return result;
}

}  // namespace skerry
