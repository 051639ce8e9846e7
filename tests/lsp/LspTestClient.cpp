#include "LspTestClient.h"

#include <chrono>

namespace skerry::lsp::test {

std::string Framed(std::string_view body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

void Pipe::Put(std::string_view bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  ready_.notify_all();
}

void Pipe::Close() {
  std::lock_guard<std::mutex> lock(mutex_);
  closed_ = true;
  ready_.notify_all();
}

std::size_t Pipe::Read(char* buffer, std::size_t size) {
  std::unique_lock<std::mutex> lock(mutex_);
  ready_.wait(lock, [this] { return closed_ || !bytes_.empty(); });
  std::size_t count = 0;
  while (count < size && !bytes_.empty()) {
    buffer[count++] = bytes_.front();
    bytes_.pop_front();
  }
  return count;
}

bool Inbox::Write(std::string_view bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.append(bytes);
  for (;;) {
    const std::size_t end = pending_.find("\r\n\r\n");
    if (end == std::string::npos) break;
    const std::size_t length = std::stoul(pending_.substr(pending_.find(':') + 1, end));
    if (pending_.size() < end + 4 + length) break;
    messages_.push_back(Json::parse(pending_.substr(end + 4, length)));
    pending_.erase(0, end + 4 + length);
  }
  arrived_.notify_all();
  return true;
}

Json Inbox::WaitFor(const std::function<bool(const Json&)>& matches, std::size_t& from) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    for (; from < messages_.size(); ++from) {
      if (matches(messages_[from])) return messages_[from++];
    }
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout) return nullptr;
  }
}

std::vector<Json> Inbox::Messages() {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

LspTestClient::LspTestClient(ServerOptions options)
    : thread_([this, options] {
        Server server(input_, inbox_, options);
        exitCode_ = server.Run();
      }) {}

LspTestClient::~LspTestClient() { Finish(); }

int LspTestClient::Finish() {
  input_.Close();
  if (thread_.joinable()) thread_.join();
  return exitCode_;
}

void LspTestClient::Send(const Json& message) { SendRaw(Framed(message.dump())); }

Json LspTestClient::Request(const std::string& method, const Json& params) {
  const int id = nextId_++;
  Send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
  return WaitFor([id](const Json& message) { return message.contains("id") && message["id"] == id; });
}

void LspTestClient::Notify(const std::string& method, const Json& params) {
  Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

Json LspTestClient::Initialize(const Json& capabilities) {
  Json response = Request("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", capabilities}});
  Notify("initialized", Json::object());
  return response;
}

void LspTestClient::Open(const std::string& uri, const std::string& text, int version) {
  Notify("textDocument/didOpen",
         {{"textDocument", {{"uri", uri}, {"languageId", "c"}, {"version", version}, {"text", text}}}});
}

void LspTestClient::ChangeAll(const std::string& uri, const std::string& text, int version) {
  Notify("textDocument/didChange",
         {{"textDocument", {{"uri", uri}, {"version", version}}}, {"contentChanges", {{{"text", text}}}}});
}

Json LspTestClient::NextDiagnostics(const std::string& uri, long long version) {
  return WaitFor([&](const Json& message) {
    if (message.value("method", "") != "textDocument/publishDiagnostics") return false;
    const Json& params = message["params"];
    if (params["uri"] != uri) return false;
    return version < 0 || (params.contains("version") && params["version"] == version);
  });
}

}  // namespace skerry::lsp::test
