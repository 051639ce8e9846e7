// The language server: the protocol's lifecycle, the documents, checking
// and publishing, code actions and hover.
#ifndef SKERRY_LSP_SERVER_H
#define SKERRY_LSP_SERVER_H

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "analysis/SourceLines.h"
#include "lsp/ByteChannel.h"
#include "lsp/CheckWorker.h"
#include "lsp/DocumentStore.h"
#include "lsp/Findings.h"
#include "lsp/JsonRpc.h"
#include "lsp/MessageReader.h"
#include "lsp/MessageWriter.h"
#include "lsp/WorkspaceBaseline.h"

namespace skerry::lsp {

struct ServerOptions {
  std::size_t maxMessageBytes = MessageReader::kDefaultMaxBody;
};

class Server {
 public:
  Server(ByteSource& input, ByteSink& output, ServerOptions options = {});
  ~Server();

  // Serves until the exit notification or the end of the input. Returns
  // the process's exit code: 0 when shutdown came first, 1 otherwise.
  int Run();

 private:
  void Register();
  Json Initialize(const Json& params);
  void CheckAndPublish(const std::string& uri);
  // Checks the document's text (lines, filled from it) with its companion
  // header as it stands now.
  FileFindings FindingsOf(const Document& document, SourceLines& lines);
  void RequestWithDependents(const Document& document);

  MessageReader reader_;
  MessageWriter writer_;
  Connection connection_;
  Dispatcher dispatcher_;
  DocumentStore documents_;
  WorkspaceBaseline baseline_;
  std::atomic<PositionEncoding> encoding_{PositionEncoding::kUtf16};
  bool annotatedEdits_ = false;
  bool initialized_ = false;
  bool shutdown_ = false;
  bool exit_ = false;
  std::unique_ptr<CheckWorker> worker_;  // last: its thread stops first
};

}  // namespace skerry::lsp

#endif
