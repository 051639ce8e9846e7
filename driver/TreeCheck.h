// Checking every file of a tree on several threads, with the results handed
// on in walk order.
#ifndef SKERRY_DRIVER_TREE_CHECK_H
#define SKERRY_DRIVER_TREE_CHECK_H

#include <boost/filesystem/path.hpp>
#include <string>

#include "driver/SourceFileCheck.h"
#include "driver/WalkNotice.h"

namespace skerry {

// Receives what a tree check produces, in walk order: the report of every
// source file the walk meets and, between them, the walk's notices. Other
// files, whose report would be empty, are not handed on.
class TreeCheckSink {
 public:
  virtual ~TreeCheckSink() = default;
  virtual void OnReport(FileReport& report) = 0;
  virtual void OnNotice(const WalkNotice& notice) = 0;
  // Whether the walk passes over an entry without looking at it; asked on
  // the calling thread, first, for every entry.
  virtual bool Skip(const boost::filesystem::path& /*entry*/) { return false; }
  // Checks one source file; called on the checking threads, several at once.
  virtual FileReport Check(const boost::filesystem::path& path, const FileSystem& files, SpillFile* spill) {
    return CheckSourceFile(path, files, spill);
  }
};

// Walks directory (WalkSourceTree) and checks every file it meets
// (CheckSourceFile) on the given number of threads. The sink gets the same
// calls in the same order as from a walk that checks each file when it meets
// it, which is what one thread does; it is called on the calling thread.
// Everything is read through files; the diagnostics' filled blocks go to
// spill (when given). ParallelIdentityTest compares thread counts.
void CheckTree(const boost::filesystem::path& directory, unsigned threads, TreeCheckSink& sink, const FileSystem& files,
               SpillFile* spill = nullptr);

// The number of threads to check with: the processors this process may run
// on (at least 1).
unsigned CheckingThreads();

}  // namespace skerry

#endif
