#include "report/Diagnostics.h"

#include <algorithm>
#include <charconv>

namespace skerry {

void DiagnosticList::Append(std::initializer_list<std::string_view> parts) {
  std::size_t length = 1;
  for (std::string_view part : parts) length += part.size();
  if (text_.capacity() - text_.size() < length) text_.reserve(std::max(text_.size() + length, 2 * text_.capacity()));
  for (std::string_view part : parts) text_.append(part);
  text_.push_back('\n');
  ++count_;
}

void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message) {
  char number[16];
  auto result = std::to_chars(number, number + sizeof number, line);
  list.Append({path, "(", std::string_view(number, static_cast<std::size_t>(result.ptr - number)),
               "): error style: ", message});
}

void DiagnosticListing::AppendAll(const DiagnosticList& list) {
  std::string_view text = list.Text();
  while (!text.empty()) {
    if (blocks_.empty() || blocks_.back().size() == kBlockSize) {
      blocks_.emplace_back();
      blocks_.back().reserve(kBlockSize);
    }
    std::string& block = blocks_.back();
    std::size_t room = kBlockSize - block.size();
    block.append(text.substr(0, room));
    text.remove_prefix(text.size() < room ? text.size() : room);
  }
  count_ += list.size();
}

void DiagnosticListing::Write(std::FILE* out) const {
  // The bytes are those of writing and flushing line by line; a few large
  // writes are much cheaper when a run reports millions of lines.
  for (const std::string& block : blocks_) std::fwrite(block.data(), 1, block.size(), out);
  std::fflush(out);
}

}  // namespace skerry
