#include "lsp/Positions.h"

#include <algorithm>

namespace skerry::lsp {

namespace {

// The length in bytes and UTF-16 units of the character at the start of
// text: a valid UTF-8 sequence, else the single byte.
void CharacterAt(std::string_view text, std::size_t& bytes, std::uint32_t& units) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  }
  bool valid = length <= text.size();
  for (std::size_t i = 1; valid && i < length; ++i) valid = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  if (!valid) length = 1;
  bytes = length;
  units = length == 4 ? 2 : 1;
}

}  // namespace

std::uint32_t ColumnOf(std::string_view line, std::size_t byteColumn, PositionEncoding encoding) {
  if (byteColumn > line.size()) byteColumn = line.size();
  if (encoding == PositionEncoding::kUtf8) return static_cast<std::uint32_t>(byteColumn);
  std::uint32_t column = 0;
  for (std::size_t at = 0; at < byteColumn;) {
    std::size_t bytes;
    std::uint32_t units;
    CharacterAt(line.substr(at), bytes, units);
    at += bytes;
    column += units;
  }
  return column;
}

std::size_t ByteColumnOf(std::string_view line, std::uint32_t column, PositionEncoding encoding) {
  if (encoding == PositionEncoding::kUtf8) return column < line.size() ? column : line.size();
  std::size_t at = 0;
  for (std::uint32_t counted = 0; at < line.size() && counted < column;) {
    std::size_t bytes;
    std::uint32_t units;
    CharacterAt(line.substr(at), bytes, units);
    at += bytes;
    counted += units;
  }
  return at;
}

std::size_t OffsetOf(std::string_view text, std::uint32_t line, std::uint32_t character, PositionEncoding encoding) {
  std::size_t start = 0;
  for (std::uint32_t number = 0; number < line; ++number) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) return text.size();
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  std::size_t end = text.find_first_of("\r\n", start);
  if (end == std::string_view::npos) end = text.size();
  return start + ByteColumnOf(text.substr(start, end - start), character, encoding);
}

LineIndex::LineIndex(std::string_view text) : text_(text) {
  starts_.push_back(0);
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string_view::npos; at = text.find_first_of("\r\n", at)) {
    at += text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
    starts_.push_back(at);
  }
}

void LineIndex::PositionOf(std::size_t offset, std::uint32_t& line, std::uint32_t& character,
                           PositionEncoding encoding) const {
  if (offset > text_.size()) offset = text_.size();
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  const std::size_t index = static_cast<std::size_t>(after - starts_.begin()) - 1;
  line = static_cast<std::uint32_t>(index);
  character = ColumnOf(text_.substr(starts_[index], offset - starts_[index]), offset - starts_[index], encoding);
}

}  // namespace skerry::lsp
