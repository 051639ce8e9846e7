#include "report/TextBlocks.h"

#include <algorithm>
#include <utility>

namespace skerry {

void TextBlocks::CloseOpenBlock() {
  filled_.push_back(std::move(open_));
  filledBytes_ += filled_.back().size();
  open_ = std::string();
}

void TextBlocks::AppendLine(std::initializer_list<std::string_view> parts) {
  std::size_t length = 1;
  for (std::string_view part : parts) length += part.size();
  if (open_.capacity() - open_.size() < length) {
    if (open_.capacity() < kTextBlockSize) {
      // Below a block's size the buffer doubles.
      open_.reserve(std::min(std::max(open_.size() + length, 2 * open_.capacity()),
                             std::max(kTextBlockSize, open_.size() + length)));
    } else {
      // A full block is put aside and a new one begun.
      CloseOpenBlock();
      open_.reserve(std::max(kTextBlockSize, length));
    }
  }
  for (std::string_view part : parts) open_.append(part);
  open_.push_back('\n');
}

void TextBlocks::AppendText(std::string_view text) {
  while (!text.empty()) {
    if (open_.size() >= kTextBlockSize) CloseOpenBlock();
    if (open_.capacity() < kTextBlockSize) open_.reserve(kTextBlockSize);
    const std::size_t room = std::min(kTextBlockSize - open_.size(), text.size());
    open_.append(text.substr(0, room));
    text.remove_prefix(room);
  }
}

void TextBlocks::TakeOver(TextBlocks&& other) {
  const std::size_t filledBefore = filled_.size();
  const std::size_t openBefore = open_.size();
  const std::size_t filledBytesBefore = filledBytes_;
  try {
    if (other.HasFilled()) {
      if (!open_.empty()) CloseOpenBlock();
      for (std::string& block : other.filled_) filled_.push_back(std::move(block));
      filledBytes_ += other.filledBytes_;
    }
    AppendText(other.open_);
  } catch (...) {
    // Out of memory: this store is left as it was, so that it never holds a
    // part of other (no cut line in the listing of an aborted run). Its
    // open block is where it was, or the first block closed since.
    if (filled_.size() > filledBefore && openBefore > 0) open_ = std::move(filled_[filledBefore]);
    filled_.erase(filled_.begin() + static_cast<std::ptrdiff_t>(filledBefore), filled_.end());
    open_.resize(openBefore);
    filledBytes_ = filledBytesBefore;
    throw;
  }
  other.clear();
}

void TextBlocks::DropFirstFilled() {
  filledBytes_ -= filled_.front().size();
  filled_.pop_front();
}

void TextBlocks::WriteTo(OutputStream& out) const {
  // A few large writes: the bytes are those of writing line by line.
  for (const std::string& block : filled_) out.Write(block);
  if (!open_.empty()) out.Write(open_);
}

std::string TextBlocks::Text() const {
  std::string all;
  all.reserve(size());
  for (const std::string& block : filled_) all += block;
  return all += open_;
}

void TextBlocks::clear() {
  filled_.clear();
  open_ = std::string();
  filledBytes_ = 0;
}

}  // namespace skerry
