// State that the analysis keeps per thread (match data, caches of run-time
// patterns, statement buffers), behind plain thread_local pointers.
//
// A thread_local object with a destructor is not safe on every platform:
// MinGW frees a thread's storage before such destructors run when the
// thread ends (GCC bug 80816). So the state is created on first use and
// freed by ReleaseThreadState, which every thread that used the analysis
// calls before it ends; the main thread's state lasts until the process
// ends.
#ifndef SKERRY_ANALYSIS_THREAD_STATE_H
#define SKERRY_ANALYSIS_THREAD_STATE_H

#include <memory>

namespace skerry {

namespace thread_state_detail {

// One piece of the calling thread's state, freed by ReleaseThreadState.
class Piece {
 public:
  virtual ~Piece() = default;
  virtual void Free() = 0;
  Piece* next = nullptr;
};

// Adds piece to the calling thread's list.
void Remember(Piece* piece);

template <typename T>
class Owned final : public Piece {
 public:
  explicit Owned(T*& slot) : slot_(slot) {}
  void Free() override {
    delete slot_;
    slot_ = nullptr;
  }

 private:
  T*& slot_;
};

}  // namespace thread_state_detail

// The calling thread's T, created (value-initialised) on first use after
// the thread began or last called ReleaseThreadState.
template <typename T>
T& ThreadState() {
  thread_local T* state = nullptr;
  if (state == nullptr) {
    auto piece = std::make_unique<thread_state_detail::Owned<T>>(state);
    state = new T();
    thread_state_detail::Remember(piece.release());
  }
  return *state;
}

// Frees every ThreadState of the calling thread.
void ReleaseThreadState();

}  // namespace skerry

#endif
