// Lines of text kept in large blocks, in memory or in a spill file.
#ifndef SKERRY_REPORT_TEXT_BLOCKS_H
#define SKERRY_REPORT_TEXT_BLOCKS_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>

#include "report/OutputStream.h"
#include "report/SpillFile.h"

namespace skerry {

/// The size of the blocks that text is kept in.
constexpr std::size_t kTextBlockSize = std::size_t{1} << 20;

/// Text appended to only, kept in one growing buffer (the open block) until
/// that reaches a block's size, then in further blocks of that size filled
/// one after the other: millions of lines cost little more than their text,
/// nothing is copied as it grows, and another store takes the blocks over as
/// they are. With a spill file, filled blocks beyond memoryBound bytes move
/// there, oldest first; when the file cannot take them they stay in memory
/// (DiagnosticsTest).
class TextBlocks {
 public:
  explicit TextBlocks(SpillFile* spill = nullptr, std::size_t memoryBound = std::numeric_limits<std::size_t>::max())
      : spill_(spill), memoryBound_(memoryBound) {}
  TextBlocks(TextBlocks&&) = default;
  TextBlocks& operator=(TextBlocks&&) = default;

  /// Appends one line made of the parts and a line feed; a line is never
  /// split between blocks.
  void AppendLine(std::initializer_list<std::string_view> parts);
  /// Appends other's text after this one's and leaves other empty: its
  /// blocks are moved, its open block is copied, split at block size. When
  /// memory runs out, this store is left as it was and the failure thrown.
  void TakeOver(TextBlocks&& other);
  /// The bytes of memory the blocks take.
  std::size_t MemoryBytes() const { return memoryFilled_ + open_.capacity(); }
  /// Writes all text to out, in order.
  void WriteTo(OutputStream& out) const;
  /// All text, in one string.
  std::string Text() const;
  void clear();

 private:
  // A filled block: its text, or where it waits in the spill file.
  struct Block {
    std::string text;
    SpillFile* file = nullptr;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
  };
  void AppendText(std::string_view text);
  void CloseOpenBlock();
  void SpillBeyondBound();

  SpillFile* spill_;
  std::size_t memoryBound_;
  std::deque<Block> filled_;  // in order, before open_
  std::string open_;
  std::size_t memoryFilled_ = 0;   // capacity of the filled blocks in memory
  std::size_t firstInMemory_ = 0;  // the blocks before it are spilled, or spilling failed
};

}  // namespace skerry

#endif
