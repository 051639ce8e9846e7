#include "lsp/MessageWriter.h"

#include <string>

namespace skerry::lsp {

bool MessageWriter::Send(std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message.append(body);
  std::lock_guard<std::mutex> lock(mutex_);
  if (failed_) return false;
  if (!sink_.Write(message)) failed_ = true;
  return !failed_;
}

}  // namespace skerry::lsp
