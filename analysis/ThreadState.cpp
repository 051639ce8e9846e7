#include "analysis/ThreadState.h"

namespace skerry {

namespace thread_state_detail {

namespace {
thread_local Piece* pieces = nullptr;
}  // namespace

void Remember(Piece* piece) {
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
