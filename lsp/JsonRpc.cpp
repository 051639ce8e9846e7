#include "lsp/JsonRpc.h"

namespace skerry::lsp {

void Connection::Send(const Json& message) {
  writer_.Send(message.dump(-1, ' ', false, Json::error_handler_t::replace));
}

void Connection::Respond(const Json& id, const Json& result) {
  Send({{"jsonrpc", "2.0"}, {"id", id}, {"result", result}});
}

void Connection::RespondError(const Json& id, int code, const std::string& message) {
  Send({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void Connection::Notify(const std::string& method, const Json& params) {
  Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

void Connection::Log(int type, const std::string& message) {
  Notify("window/logMessage", {{"type", type}, {"message", message}});
}

bool Dispatcher::Handle(std::string_view body) {
  Json message = Json::parse(body.begin(), body.end(), nullptr, false);
  if (message.is_discarded()) {
    connection_.RespondError(nullptr, kParseError, "the message is not valid JSON");
    return false;
  }
  HandleMessage(message);
  return true;
}

void Dispatcher::HandleMessage(const Json& message) {
  if (!message.is_object()) {
    connection_.RespondError(nullptr, kInvalidRequest, "a message must be a JSON object");
    return;
  }
  const auto id = message.find("id");
  const bool hasId = id != message.end();
  if (hasId && !id->is_number_integer() && !id->is_string() && !id->is_null()) {
    connection_.RespondError(nullptr, kInvalidRequest, "the id must be a number or a string");
    return;
  }
  const auto method = message.find("method");
  if (method == message.end()) {
    if (hasId && (message.contains("result") || message.contains("error"))) return;  // a response
    connection_.RespondError(hasId ? *id : Json(), kInvalidRequest, "the message has no method");
    return;
  }
  if (!method->is_string()) {
    if (hasId) connection_.RespondError(*id, kInvalidRequest, "the method must be a string");
    return;
  }
  const std::string& name = method->get_ref<const std::string&>();
  static const Json kNoParams = Json::object();
  const auto paramsAt = message.find("params");
  const Json& params = paramsAt == message.end() ? kNoParams : *paramsAt;

  if (!hasId) {
    try {
      if (gate_ && !gate_(name, false)) return;
      const auto handler = notifications_.find(name);
      if (handler == notifications_.end()) {
        if (name.rfind("$/", 0) != 0) connection_.Log(4, "notification " + name + " is not handled");
        return;
      }
      handler->second(params);
    } catch (const std::exception& failure) {
      // A notification gets no answer; the client sees the fault in its log.
      connection_.Log(1, name + ": " + failure.what());
    }
    return;
  }

  try {
    if (gate_) gate_(name, true);
    const auto handler = requests_.find(name);
    if (handler == requests_.end()) throw RpcError(kMethodNotFound, "method not found: " + name);
    connection_.Respond(*id, handler->second(params));
  } catch (const RpcError& failure) {
    connection_.RespondError(*id, failure.Code(), failure.what());
  } catch (const Json::exception& failure) {
    connection_.RespondError(*id, kInvalidParams, std::string("invalid params: ") + failure.what());
  } catch (const std::exception& failure) {
    connection_.RespondError(*id, kInternalError, failure.what());
  }
}

}  // namespace skerry::lsp
