// Writing a baseline file: the entries of each path gathered while a run
// goes on, put in order of path when the file is written.
#ifndef SKERRY_GATE_BASELINE_WRITER_H
#define SKERRY_GATE_BASELINE_WRITER_H

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "gate/Baseline.h"
#include "report/SpillFile.h"

namespace skerry {

class BaselineWriter {
 public:
  explicit BaselineWriter(std::string file) : file_(std::move(file)) {}

  // Whether a file can be created in the baseline's folder (one is created
  // and removed again), so that a run is not spent on a baseline that
  // cannot be written. false with "cannot write baseline FILE: REASON".
  bool CheckWritable(std::string& error) const;

  // The entry lines of path (BaselineLine, ordered by message). They wait
  // in a temporary file, or in memory when none can be written. Safe from
  // several threads.
  // entries and violations are what lines hold.
  void Add(const std::string& path, std::string_view lines, std::uint64_t entries, std::uint64_t violations);
  // The entries of path in old, as they are (update: a path the run did
  // not look at).
  void Keep(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    pieces_.push_back(Piece{path, true, 0, 0, std::string(), 0, 0});
  }

  // Writes the file atomically (a temporary file in its folder, renamed
  // over it) with the entries in order of path, keeping the mode of the
  // file it replaces. Gives the number of entries and violations written.
  bool Write(const Baseline* old, std::uint64_t& entries, std::uint64_t& violations, std::string& error);

 private:
  struct Piece {
    std::string path;
    bool fromOld;
    std::uint64_t offset;
    std::uint64_t length;
    std::string text;  // when it could not wait on disk
    std::uint64_t entries;
    std::uint64_t violations;
  };
  std::string file_;
  SpillFile scratch_;
  std::mutex mutex_;  // guards pieces_
  std::vector<Piece> pieces_;
};

}  // namespace skerry

#endif
