#include "lsp/CheckWorker.h"

#include <algorithm>

#include "analysis/ThreadState.h"

namespace skerry::lsp {

CheckWorker::CheckWorker(Check check) : check_(std::move(check)), thread_([this] { Loop(); }) {}

CheckWorker::~CheckWorker() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

void CheckWorker::Request(const std::string& uri) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(pending_.begin(), pending_.end(), uri) != pending_.end()) return;
    pending_.push_back(uri);
  }
  wake_.notify_one();
}

void CheckWorker::Drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void CheckWorker::Loop() {
  // The analysis's state of this thread goes with it.
  struct Release {
    ~Release() { ReleaseThreadState(); }
  } release;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (stopping_) break;
    const std::string uri = std::move(pending_.front());
    pending_.erase(pending_.begin());
    busy_ = true;
    lock.unlock();
    check_(uri);
    lock.lock();
    busy_ = false;
    if (pending_.empty()) idle_.notify_all();
  }
  busy_ = false;
  idle_.notify_all();
}

}  // namespace skerry::lsp
