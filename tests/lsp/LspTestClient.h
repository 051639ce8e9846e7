// A client that talks to an in-process server through in-memory pipes.
#ifndef SKERRY_TESTS_LSP_LSP_TEST_CLIENT_H
#define SKERRY_TESTS_LSP_LSP_TEST_CLIENT_H

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lsp/ByteChannel.h"
#include "lsp/JsonRpc.h"
#include "lsp/Server.h"

namespace skerry::lsp::test {

// Bytes written by one thread, read by another; Close ends the reading.
class Pipe : public ByteSource {
 public:
  void Put(std::string_view bytes);
  void Close();
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<char> bytes_;
  bool closed_ = false;
};

// Takes the server's bytes apart into messages.
class Inbox : public ByteSink {
 public:
  bool Write(std::string_view bytes) override;
  // Waits (up to a minute) for the first message from index from on that
  // matches; null on timeout. from is moved past the match.
  Json WaitFor(const std::function<bool(const Json&)>& matches, std::size_t& from);
  std::vector<Json> Messages();

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string pending_;
  std::vector<Json> messages_;
};

class LspTestClient {
 public:
  explicit LspTestClient(ServerOptions options = {});
  ~LspTestClient();

  void SendRaw(std::string_view bytes) { input_.Put(bytes); }
  void Send(const Json& message);
  // Sends a request and waits for its response.
  Json Request(const std::string& method, const Json& params);
  void Notify(const std::string& method, const Json& params);
  // initialize and initialized, with the given client capabilities.
  Json Initialize(const Json& capabilities = Json::object());
  void Open(const std::string& uri, const std::string& text, int version = 1);
  void ChangeAll(const std::string& uri, const std::string& text, int version);

  // The next publishDiagnostics for uri (after the ones already taken)
  // whose version is version (any when negative); null on timeout.
  Json NextDiagnostics(const std::string& uri, long long version = -1);
  // Waits for the next message that matches.
  Json WaitFor(const std::function<bool(const Json&)>& matches) { return inbox_.WaitFor(matches, cursor_); }
  std::vector<Json> Messages() { return inbox_.Messages(); }

  // Ends the input and returns the server's exit code.
  int Finish();

 private:
  Pipe input_;
  Inbox inbox_;
  std::size_t cursor_ = 0;
  int nextId_ = 1;
  int exitCode_ = -1;
  std::thread thread_;
};

std::string Framed(std::string_view body);

}  // namespace skerry::lsp::test

#endif
