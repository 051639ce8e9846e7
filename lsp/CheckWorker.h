// The thread that checks documents. A request names a document, not a
// version: the check reads the latest text when it starts, so a burst of
// edits leaves one pending request per document however long it is.
#ifndef SKERRY_LSP_CHECK_WORKER_H
#define SKERRY_LSP_CHECK_WORKER_H

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace skerry::lsp {

class CheckWorker {
 public:
  using Check = std::function<void(const std::string& uri)>;
  // Starts the thread; check runs on it, one document at a time, in the
  // order first requested.
  explicit CheckWorker(Check check);
  // Finishes the check that runs, drops those pending, joins the thread.
  ~CheckWorker();
  CheckWorker(const CheckWorker&) = delete;
  CheckWorker& operator=(const CheckWorker&) = delete;

  // Queues uri unless it is pending already.
  void Request(const std::string& uri);
  // Waits until no check is pending or running.
  void Drain();

 private:
  void Loop();
  Check check_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::vector<std::string> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace skerry::lsp

#endif
