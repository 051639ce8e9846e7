#include "report/TextBlocks.h"

#include <algorithm>
#include <utility>

namespace skerry {

void TextBlocks::CloseOpenBlock() {
  filled_.push_back(Block{std::move(open_)});
  memoryFilled_ += filled_.back().text.capacity();
  std::string().swap(open_);
}

void TextBlocks::SpillBeyondBound() {
  if (spill_ == nullptr) return;
  while (MemoryBytes() > memoryBound_ && firstInMemory_ < filled_.size()) {
    Block& block = filled_[firstInMemory_];
    if (block.file == nullptr) {
      std::uint64_t offset = 0;
      if (!spill_->Store(block.text, offset)) return;
      block.file = spill_;
      block.offset = offset;
      block.length = block.text.size();
      memoryFilled_ -= block.text.capacity();
      std::string().swap(block.text);  // gives the memory back
    }
    ++firstInMemory_;
  }
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
      SpillBeyondBound();
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
  const std::size_t memoryBefore = memoryFilled_;
  try {
    if (!other.filled_.empty()) {
      if (!open_.empty()) CloseOpenBlock();
      for (Block& block : other.filled_) filled_.push_back(std::move(block));
      memoryFilled_ += other.memoryFilled_;
    }
    AppendText(other.open_);
  } catch (...) {
    // Out of memory: this store is left as it was, so that it never holds a
    // part of other (no cut line in the listing of an aborted run). Its
    // open block is where it was, or the first block closed since (nothing
    // is spilled in between).
    if (filled_.size() > filledBefore && openBefore > 0) open_ = std::move(filled_[filledBefore].text);
    filled_.erase(filled_.begin() + static_cast<std::ptrdiff_t>(filledBefore), filled_.end());
    open_.resize(openBefore);
    memoryFilled_ = memoryBefore;
    throw;
  }
  other.clear();
  SpillBeyondBound();
}

void TextBlocks::WriteTo(OutputStream& out) const {
  // A few large writes: the bytes are those of writing line by line.
  for (const Block& block : filled_) {
    if (block.file != nullptr) {
      block.file->WriteRange(out, block.offset, block.length);
    } else {
      out.Write(block.text);
    }
  }
  if (!open_.empty()) out.Write(open_);
}

namespace {

// Appends what is written to a string.
class StringAppender : public OutputStream {
 public:
  explicit StringAppender(std::string& text) : text_(text) {}
  void Write(std::string_view text) override { text_.append(text); }

 private:
  std::string& text_;
};

}  // namespace

std::string TextBlocks::Text() const {
  std::string text;
  StringAppender all(text);
  WriteTo(all);
  return text;
}

void TextBlocks::clear() {
  filled_.clear();
  std::string().swap(open_);
  memoryFilled_ = 0;
  firstInMemory_ = 0;
}

}  // namespace skerry
