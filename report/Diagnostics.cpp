#include "report/Diagnostics.h"

#include <algorithm>
#include <charconv>

namespace skerry {

void DiagnosticList::Append(std::initializer_list<std::string_view> parts) {
  std::size_t length = 1;
  for (std::string_view part : parts) length += part.size();
  if (text_.capacity() - text_.size() < length) {
    if (text_.capacity() < kDiagnosticBlockSize) {
      // Below a block's size the buffer doubles.
      text_.reserve(std::min(std::max(text_.size() + length, 2 * text_.capacity()),
                             std::max(kDiagnosticBlockSize, text_.size() + length)));
    } else {
      // A full block is put aside and a new one begun.
      full_.push_back(std::move(text_));
      text_ = std::string();
      text_.reserve(std::max(kDiagnosticBlockSize, length));
    }
  }
  for (std::string_view part : parts) text_.append(part);
  text_.push_back('\n');
  ++count_;
}

std::string DiagnosticList::Text() const {
  std::string all;
  for (const std::string& block : full_) all += block;
  return all += text_;
}

void ReportViolation(DiagnosticList& list, std::string_view path, int32_t line, std::string_view message) {
  char number[16];
  auto result = std::to_chars(number, number + sizeof number, line);
  list.Append({path, "(", std::string_view(number, static_cast<std::size_t>(result.ptr - number)),
               "): error style: ", message});
}

void DiagnosticListing::AppendAll(DiagnosticList&& list) {
  for (std::string& block : list.full_) blocks_.push_back(std::move(block));
  Copy(list.text_);
  count_ += list.count_;
  list.clear();
}

void DiagnosticListing::Copy(std::string_view text) {
  while (!text.empty()) {
    if (blocks_.empty() || blocks_.back().size() >= kDiagnosticBlockSize) {
      blocks_.emplace_back();
      blocks_.back().reserve(kDiagnosticBlockSize);
    }
    std::string& block = blocks_.back();
    const std::size_t room = std::min(kDiagnosticBlockSize - block.size(), text.size());
    block.append(text.substr(0, room));
    text.remove_prefix(room);
  }
}

void DiagnosticListing::Write(std::FILE* out) const {
  // The bytes are those of writing and flushing line by line; a few large
  // writes are much cheaper when a run reports millions of lines.
  for (const std::string& block : blocks_) std::fwrite(block.data(), 1, block.size(), out);
  std::fflush(out);
}

}  // namespace skerry
