// JSON-RPC 2.0 over the framed messages: requests and notifications in,
// responses, notifications and log messages out.
#ifndef SKERRY_LSP_JSON_RPC_H
#define SKERRY_LSP_JSON_RPC_H

#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lsp/MessageWriter.h"

namespace skerry::lsp {

using Json = nlohmann::json;

// The error codes of JSON-RPC and of the protocol.
enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

// Thrown by a handler to answer with an error.
class RpcError : public std::runtime_error {
 public:
  RpcError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// What the server sends. Text is written as UTF-8; invalid bytes become
// U+FFFD rather than failing the message.
class Connection {
 public:
  explicit Connection(MessageWriter& writer) : writer_(writer) {}
  void Respond(const Json& id, const Json& result);
  void RespondError(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, const Json& params);
  // Sends a message already written as JSON text.
  void SendText(std::string_view body) { writer_.Send(body); }
  // window/logMessage; type 1 error, 2 warning, 3 info, 4 log.
  void Log(int type, const std::string& message);

 private:
  void Send(const Json& message);
  MessageWriter& writer_;
};

// Routes each message body to its handler. A request's handler returns the
// result or throws RpcError; a type fault in its params (a
// nlohmann::json::exception) answers InvalidParams. Unknown requests answer
// MethodNotFound; unknown notifications are dropped (logged unless their
// method starts with "$/"). Responses to the server's own requests are
// ignored.
class Dispatcher {
 public:
  using RequestHandler = std::function<Json(const Json& params)>;
  using NotificationHandler = std::function<void(const Json& params)>;
  // Decides, before any handler, whether a message may be handled; it
  // throws RpcError to refuse a request, returns false to drop a
  // notification silently.
  using Gate = std::function<bool(const std::string& method, bool isRequest)>;

  explicit Dispatcher(Connection& connection) : connection_(connection) {}
  void OnRequest(const std::string& method, RequestHandler handler) { requests_[method] = std::move(handler); }
  void OnNotification(const std::string& method, NotificationHandler handler) {
    notifications_[method] = std::move(handler);
  }
  void SetGate(Gate gate) { gate_ = std::move(gate); }

  // Handles one body; false when it is not JSON (a ParseError was sent).
  bool Handle(std::string_view body);

 private:
  void HandleMessage(const Json& message);
  Connection& connection_;
  std::map<std::string, RequestHandler, std::less<>> requests_;
  std::map<std::string, NotificationHandler, std::less<>> notifications_;
  Gate gate_;
};

}  // namespace skerry::lsp

#endif
