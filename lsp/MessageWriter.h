// Sends framed messages; safe to call from several threads.
#ifndef SKERRY_LSP_MESSAGE_WRITER_H
#define SKERRY_LSP_MESSAGE_WRITER_H

#include <mutex>
#include <string_view>

#include "lsp/ByteChannel.h"

namespace skerry::lsp {

class MessageWriter {
 public:
  explicit MessageWriter(ByteSink& sink) : sink_(sink) {}
  // Writes "Content-Length: N\r\n\r\n" and body as one message; false once
  // the sink has failed (later calls write nothing).
  bool Send(std::string_view body);

 private:
  ByteSink& sink_;
  std::mutex mutex_;
  bool failed_ = false;
};

}  // namespace skerry::lsp

#endif
