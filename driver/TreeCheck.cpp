#include "driver/TreeCheck.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#ifdef __linux__
#include <sched.h>
#endif

#include "analysis/ThreadState.h"
#include "driver/SourceTreeWalk.h"

namespace skerry {

namespace fs = boost::filesystem;

namespace {

// One thread: each file is checked when the walk meets it.
class SerialCheck : public WalkVisitor {
 public:
  SerialCheck(TreeCheckSink& sink, const FileSystem& files, SpillFile* spill)
      : sink_(sink), files_(files), spill_(spill) {}
  void OnFile(const fs::path& path) override {
    if (!IsSourceFileText(path.string())) return;
    FileReport report = sink_.Check(path, files_, spill_);
    sink_.OnReport(report);
  }
  void OnNotice(WalkNotice notice) override { sink_.OnNotice(notice); }
  bool Skip(const fs::path& entry) override { return sink_.Skip(entry); }

 private:
  TreeCheckSink& sink_;
  const FileSystem& files_;
  SpillFile* spill_;
};

// Several threads, in a pipeline of three stages: the walk (on the calling
// thread) appends every file and notice it meets to a window, in walk order;
// worker threads check the window's files in any order; the calling thread
// hands the window's front item to the sink as soon as it is done. The
// window has a bounded size, so that the walk waits for the front when it
// runs ahead and only a few files are held at a time.
class PipelinedCheck : public WalkVisitor {
 public:
  PipelinedCheck(unsigned threads, TreeCheckSink& sink, const FileSystem& files, SpillFile* spill)
      : sink_(sink), files_(files), spill_(spill), capacity_(16 * threads) {
    for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
  }
  ~PipelinedCheck() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    workToDo_.notify_all();
    for (std::thread& worker : workers_) worker.join();
  }
  PipelinedCheck(const PipelinedCheck&) = delete;
  PipelinedCheck& operator=(const PipelinedCheck&) = delete;

  void OnFile(const fs::path& path) override {
    if (IsSourceFileText(path.string())) Add(std::make_unique<Item>(path));
  }
  void OnNotice(WalkNotice notice) override { Add(std::make_unique<Item>(std::move(notice))); }
  bool Skip(const fs::path& entry) override { return sink_.Skip(entry); }

  // Hands on every item still in the window.
  void Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!window_.empty()) HandOnFront(lock);
  }

 private:
  struct Item {
    explicit Item(const fs::path& file) : path(file) {}
    explicit Item(WalkNotice walkNotice) : notice(std::move(walkNotice)), isNotice(true), done(true) {}
    fs::path path;
    WalkNotice notice;
    bool isNotice = false;
    // Set by the worker with the lock held, after report (or failure).
    bool done = false;
    FileReport report;
    std::exception_ptr failure;
  };

  void Add(std::unique_ptr<Item> item) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (window_.size() >= capacity_) HandOnFront(lock);
    if (!item->isNotice) {
      toCheck_.push_back(item.get());
      workToDo_.notify_one();
    }
    window_.push_back(std::move(item));
    while (window_.front()->done) {  // what is done already, without waiting
      HandOnFront(lock);
      if (window_.empty()) break;
    }
  }

  // Waits until the front item is done, takes it out of the window and hands
  // it to the sink with the lock released. A check that failed with an
  // exception throws it here, at that file's turn, as one thread would.
  void HandOnFront(std::unique_lock<std::mutex>& lock) {
    frontDone_.wait(lock, [this] { return window_.front()->done; });
    std::unique_ptr<Item> item = std::move(window_.front());
    window_.pop_front();
    lock.unlock();
    if (item->failure) std::rethrow_exception(item->failure);
    if (item->isNotice) {
      sink_.OnNotice(item->notice);
    } else {
      sink_.OnReport(item->report);
    }
    item.reset();
    lock.lock();
  }

  void Work() {
    // The analysis's state of this thread goes with it.
    struct Release {
      ~Release() { ReleaseThreadState(); }
    } release;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      workToDo_.wait(lock, [this] { return stopping_ || !toCheck_.empty(); });
      if (stopping_) return;
      Item* item = toCheck_.front();  // stays in the window until it is done
      toCheck_.pop_front();
      lock.unlock();
      FileReport report;
      std::exception_ptr failure;
      try {
        report = sink_.Check(item->path, files_, spill_);
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      item->report = std::move(report);
      item->failure = failure;
      item->done = true;
      if (item == window_.front().get()) frontDone_.notify_one();
    }
  }

  TreeCheckSink& sink_;
  const FileSystem& files_;
  SpillFile* spill_;
  const std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable workToDo_;
  std::condition_variable frontDone_;
  std::deque<std::unique_ptr<Item>> window_;  // walk order
  std::deque<Item*> toCheck_;                 // files of the window no worker has taken yet
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

void CheckTree(const fs::path& directory, unsigned threads, TreeCheckSink& sink, const FileSystem& files,
               SpillFile* spill) {
  if (threads <= 1) {
    SerialCheck check(sink, files, spill);
    WalkSourceTree(directory, check, files);
    return;
  }
  PipelinedCheck check(threads, sink, files, spill);
  WalkSourceTree(directory, check, files);
  check.Finish();
}

unsigned CheckingThreads() {
#ifdef __linux__
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return static_cast<unsigned>(CPU_COUNT(&set));
#endif
  unsigned count = std::thread::hardware_concurrency();
  return count > 0 ? count : 1;
}

}  // namespace skerry
