// Columns and positions as the protocol counts them.
#ifndef SKERRY_LSP_POSITIONS_H
#define SKERRY_LSP_POSITIONS_H

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace skerry::lsp {

// How a position's character counts: UTF-16 code units (the protocol's
// default) or bytes of UTF-8 (when the client offers "utf-8").
enum class PositionEncoding { kUtf16, kUtf8 };

// The column of the byte column byteColumn of line. In UTF-16 a byte that
// does not begin a valid UTF-8 sequence counts as one unit.
std::uint32_t ColumnOf(std::string_view line, std::size_t byteColumn, PositionEncoding encoding);

// The byte column of column in line, at most the line's length; a column
// inside a character gives the character's end.
std::size_t ByteColumnOf(std::string_view line, std::uint32_t column, PositionEncoding encoding);

// The byte offset in text of (line, character), where lines end in LF,
// CR LF or CR as the protocol says; a position beyond a line's end or the
// text's end is taken as that end.
std::size_t OffsetOf(std::string_view text, std::uint32_t line, std::uint32_t character, PositionEncoding encoding);

// The starts of a text's lines as the protocol counts them, to turn byte
// offsets into positions.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);
  // The line and character of a byte offset (at most the text's length).
  void PositionOf(std::size_t offset, std::uint32_t& line, std::uint32_t& character, PositionEncoding encoding) const;

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_;
};

}  // namespace skerry::lsp

#endif
