// Standard input and output as the server's byte streams, in binary mode.
// The only place that knows the operating system's calls.
#ifndef SKERRY_LSP_STANDARD_STREAMS_H
#define SKERRY_LSP_STANDARD_STREAMS_H

#include "lsp/ByteChannel.h"

namespace skerry::lsp {

// Reads standard input as it arrives (a partial read returns what is there).
class StandardInput : public ByteSource {
 public:
  StandardInput();
  std::size_t Read(char* buffer, std::size_t size) override;
};

// Writes standard output unbuffered, retrying short writes.
class StandardOutputSink : public ByteSink {
 public:
  StandardOutputSink();
  bool Write(std::string_view bytes) override;
};

}  // namespace skerry::lsp

#endif
