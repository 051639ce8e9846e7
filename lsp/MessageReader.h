// The base protocol's framing: header lines ("Content-Length: N"), an empty
// line, then N bytes of body.
#ifndef SKERRY_LSP_MESSAGE_READER_H
#define SKERRY_LSP_MESSAGE_READER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/ByteChannel.h"

namespace skerry::lsp {

// Reads message bodies from a byte source. Faults of the framing never stop
// it: text that is no header, a header block without a usable
// Content-Length, and a body longer than the limit are skipped (the body's
// bytes read and dropped) with a problem noted, and reading goes on at the
// next "Content-Length:" found in the input. Header names are compared
// without regard to case; lines may end in CR LF or LF alone.
class MessageReader {
 public:
  static constexpr std::size_t kDefaultMaxBody = std::size_t{256} << 20;
  explicit MessageReader(ByteSource& source, std::size_t maxBody = kDefaultMaxBody);

  // The next body; false when the input has ended (a body cut short by the
  // end is dropped with a problem noted).
  bool Next(std::string& body);

  // After a body that did not parse: when it holds a "Content-Length:"
  // header (its own length was too long, so it swallowed the start of the
  // next message), the text from there is read again as input.
  void Resynchronize(std::string_view body);

  // The faults noted since the last call, one sentence each.
  std::vector<std::string> TakeProblems();

 private:
  bool Fill();                            // appends input; false at its end
  bool ReadHeaders(std::size_t& length);  // false at the end of input
  bool SkipBytes(std::size_t count);

  ByteSource& source_;
  std::size_t maxBody_;
  std::string buffer_;
  std::size_t position_ = 0;  // start of the unread part of buffer_
  bool ended_ = false;
  std::vector<std::string> problems_;
};

}  // namespace skerry::lsp

#endif
