// Lines of text kept in large blocks.
#ifndef SKERRY_REPORT_TEXT_BLOCKS_H
#define SKERRY_REPORT_TEXT_BLOCKS_H

#include <cstddef>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>

#include "report/OutputStream.h"

namespace skerry {

/// The size of the blocks that text is kept in.
constexpr std::size_t kTextBlockSize = std::size_t{1} << 20;

/// Text appended to only, kept in one growing buffer (the open block) until
/// that reaches a block's size, then in further blocks of that size filled
/// one after the other: millions of lines cost little more than their text,
/// nothing is copied as it grows, and another store takes the filled blocks
/// over as they are (DiagnosticsTest).
class TextBlocks {
 public:
  /// Appends one line made of the parts and a line feed; a line is never
  /// split between blocks.
  void AppendLine(std::initializer_list<std::string_view> parts);
  /// Appends other's text after this one's and leaves other empty: its
  /// filled blocks are moved, the rest is copied, split at block size. When
  /// memory runs out, this store is left as it was and the failure thrown.
  void TakeOver(TextBlocks&& other);
  /// The bytes held.
  std::size_t size() const { return filledBytes_ + open_.size(); }
  bool empty() const { return size() == 0; }
  /// Whether a filled block comes before the open block.
  bool HasFilled() const { return !filled_.empty(); }
  /// The oldest filled block; only while HasFilled().
  std::string_view FirstFilled() const { return filled_.front(); }
  /// Drops the oldest filled block (its memory is given back).
  void DropFirstFilled();
  /// Writes all text to out, in order.
  void WriteTo(OutputStream& out) const;
  /// All text, in one string.
  std::string Text() const;
  void clear();

 private:
  void AppendText(std::string_view text);
  void CloseOpenBlock();

  std::deque<std::string> filled_;  // in order, before open_
  std::string open_;
  std::size_t filledBytes_ = 0;
};

}  // namespace skerry

#endif
