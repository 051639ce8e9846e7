// The byte streams a language server talks over.
#ifndef SKERRY_LSP_BYTE_CHANNEL_H
#define SKERRY_LSP_BYTE_CHANNEL_H

#include <cstddef>
#include <string_view>

namespace skerry::lsp {

// Where the client's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads at most size bytes into buffer, waiting until at least one is
  // there; 0 means the client has gone (end of input or a read error).
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Where the server's bytes go.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all of bytes; false when they cannot be written (client gone).
  virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace skerry::lsp

#endif
