// What git knows of a work tree: the lines a branch added, and the files
// moved since a commit.
#ifndef SKERRY_GATE_GIT_CHANGES_H
#define SKERRY_GATE_GIT_CHANGES_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace skerry {

// The added lines of one file, or the whole file.
struct FileChange {
  std::vector<std::pair<int32_t, int32_t>> lines;  // [first, end) ranges, ascending
  bool whole = false;                              // untracked or added: every line is new
  bool name = false;                               // added or renamed: the file name (line 0) is new
  bool Covers(int32_t line) const;
};

// The lines added since the merge base of a revision and HEAD, in the work
// tree as it is (committed, staged or not), and the untracked files that
// git does not ignore.
class ChangedLines {
 public:
  // For ref "A...B" the merge base of A and B (an empty side is HEAD). Runs
  // git in folder. false with the reason in error: not a work tree, git
  // missing, an unknown revision, no common history.
  bool Load(const std::string& ref, const std::string& folder, std::string& error);
  // The top folder of the work tree, absolute and normalised.
  const std::string& Top() const { return top_; }
  // The change of a file given as an absolute normalised path, or null.
  const FileChange* Of(const std::string& path) const;

 private:
  std::string top_;
  std::unordered_map<std::string, FileChange> files_;
};

// The files moved or renamed since the last commit that changed the file
// baseline, as (old, new) absolute normalised paths; empty outside a work
// tree, without git, or for a file that no commit holds.
std::vector<std::pair<std::string, std::string>> MovesSinceCommitOf(const std::string& baseline);

// A path of a diff header as git writes it: C-quoted when it holds a double
// quote, a backslash or a control character, followed by a tab when it
// holds a blank.
std::string UnquoteGitPath(std::string text);

}  // namespace skerry

#endif
