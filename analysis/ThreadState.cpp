#include "analysis/ThreadState.h"

namespace skerry {

namespace thread_state_detail {

namespace {

thread_local Piece* pieces = nullptr;

#ifndef __MINGW32__
// Where destructors of thread_local objects are safe, a thread's state is
// also freed when the thread ends without calling ReleaseThreadState.
struct ReleaseAtExit {
  ~ReleaseAtExit() { ReleaseThreadState(); }
};
thread_local ReleaseAtExit releaseAtExit;
#endif

}  // namespace

void Remember(Piece* piece) {
#ifndef __MINGW32__
  (void)&releaseAtExit;  // constructed in this thread, so that it is destroyed at its end
#endif
  piece->next = pieces;
  pieces = piece;
}

}  // namespace thread_state_detail

void ReleaseThreadState() {
  using thread_state_detail::pieces;
  while (pieces != nullptr) {
    thread_state_detail::Piece* piece = pieces;
    pieces = piece->next;
    piece->Free();
    delete piece;
  }
}

}  // namespace skerry
