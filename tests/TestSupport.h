// Helpers for tests that run the built checker on trees made in a
// temporary folder.
#ifndef SKERRY_TESTS_TEST_SUPPORT_H
#define SKERRY_TESTS_TEST_SUPPORT_H

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/FileSystem.h"
#include "report/OutputStream.h"

namespace skerry::test {

struct RunResult {
  std::string out;          // standard output (empty when it went elsewhere)
  std::string err;          // standard error (the checker writes there only when it cannot write its output)
  int exitCode = -1;        // 128 + N after signal N, -2 after a timeout
  long peakKilobytes = -1;  // with LaunchOptions::measurePeak
};

// How Launch starts the checker.
struct LaunchOptions {
  std::string workingDir;  // the test's current directory when empty
  int timeoutSeconds = 120;
  // Standard output: a pipe read into RunResult::out, the file outputFile
  // (created or truncated; "/dev/full" for a full disk), closed, or a pipe
  // whose reader has gone before the checker starts.
  enum class Output { kPipe, kFile, kClosed, kReaderGone } output = Output::kPipe;
  std::string outputFile;
  std::vector<std::pair<std::string, std::string>> environment;  // set in the checker's environment
  long addressSpaceKilobytes = 0;                                // RLIMIT_AS; 0 leaves it as it is
  bool oneProcessor = false;                                     // bound to the first processor it may use
  // The checker's own peak resident memory, taken by /usr/bin/time (a
  // process of its own, so that nothing of the test process is counted).
  bool measurePeak = false;
  const std::pair<uid_t, gid_t>* runAs = nullptr;  // user and group to switch to
};

// Runs the built Skerry_Lint with args as options say and collects its
// output. A child that cannot switch user exits with 126, one that cannot
// start the checker with 127. With runAs, the program run is a copy of the
// checker in a fresh folder every user can reach (wherever the build lives),
// removed after the run.
RunResult Launch(const std::vector<std::string>& args, const LaunchOptions& options);

// Runs the built Skerry_Lint with args in workingDir (the test's current
// directory when empty) and collects its output. timeoutSeconds bounds the
// run; a run that takes longer is killed and reported with exitCode -2.
RunResult RunLint(const std::vector<std::string>& args, const std::string& workingDir = "", int timeoutSeconds = 120);

// As RunLint, with the checker running as the given user and group (no
// supplementary groups); needs the privilege to switch (root). A child that
// cannot switch exits with 126, one that cannot start the checker with 127.
// Files the checker is given must be reachable by that user: see
// Reach::kEveryone.
RunResult RunLintAs(uid_t user, gid_t group, const std::vector<std::string>& args, const std::string& workingDir = "",
                    int timeoutSeconds = 120);

// Collects what is written.
class StringOutput : public OutputStream {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// The bytes of the files without a name on disk (unnamed temporary files,
// files removed since they were opened) that this process holds open.
std::uint64_t UnnamedFileBytes();

// Runs the checker in this process on files (RunChecker) with args and
// returns what it wrote and its exit code.
RunResult RunInProcess(const std::vector<std::string>& args, const FileSystem& files);

// A file system held in memory: absolute paths with "/" between names,
// links followed as on the disk, folders listed in the order their entries
// were added. Folders are made as needed.
class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();
  // A regular file; one that is not readable exists but cannot be opened.
  void AddFile(const std::string& path, const std::string& bytes, bool readable = true);
  void AddDirectory(const std::string& path);
  // A symbolic link to target, taken relative to the link's folder unless it
  // starts with "/".
  void AddLink(const std::string& path, const std::string& target);

  PathStatus Stat(const boost::filesystem::path& path) const override;
  bool ReadFile(const boost::filesystem::path& path, std::string& bytes) const override;
  void ListDirectory(const boost::filesystem::path& directory, std::vector<boost::filesystem::path>& names,
                     std::string& error) const override;
  bool CurrentDirectory(boost::filesystem::path& directory) const override;

 private:
  struct Entry {
    enum class Kind { kFile, kDirectory, kLink } kind = Kind::kDirectory;
    std::string content;  // a file's bytes, a link's target
    bool readable = true;
    std::vector<std::string> children;
    std::uint64_t id = 0;
  };
  Entry& Add(const std::string& path, Entry::Kind kind);
  // The path of the entry that path leads to, links followed; nothing when
  // a part is missing, or (with loop set) when links go round.
  std::optional<std::string> Resolve(const std::string& path, bool& loop) const;
  std::map<std::string, Entry> entries_;
};

// As RunLint, as user nobody when the tests run as root (so that
// permissions apply), otherwise as the current user.
RunResult RunUnprivileged(const std::vector<std::string>& args, const std::string& workingDir = "",
                          int timeoutSeconds = 120);
// Whether a run could not switch to another user: the system does not let
// this process do so (a test may skip then). A checker that cannot be
// started is a failure, never a reason to skip.
bool CouldNotSwitchUser(const RunResult& run);
// The reason to give GTEST_SKIP for such a run.
std::string SwitchUserSkipReason(const RunResult& run);

// A folder every user can enter, on a file system that lets programs run:
// the system's temporary folder when it is such a folder (TMPDIR may name a
// private one), otherwise /tmp, /var/tmp or /dev/shm. Empty when none is.
const std::string& SharedTemporaryFolder();

// The path of a file of the source tree, relative to the folder that holds
// CMakeLists.txt (wherever the build folder is).
std::string SourcePath(const std::string& relative);

// The two file-name messages.
extern const char kTwoUpper[];
extern const char kAlnum[];

// The progress line of a loaded file, and the progress text of a file that
// cannot be opened (no line end).
std::string Progress(const std::string& name, int lines);
std::string Unopened(const std::string& name);

// The banner, the error line and the usage text of an argument error.
std::string ArgumentErrorOutput(const std::string& argument);

// The output with the build date (on the banner line and the build line)
// replaced by "<DATE>".
std::string MaskBuildDate(const std::string& output);

// The two banner lines that start every run, with the date masked.
std::string BannerLines();

// The first lines of every completed run, with the date masked, for the
// search root as it will be printed (already in quoted form).
std::string RunHeader(const std::string& quotedRoot);

// The text between double quotes, with every double quote and every ampersand
// preceded by an ampersand: how the search line and the progress lines show
// a path.
std::string QuotedPath(const std::string& text);

// Who may enter a TempTree.
enum class Reach {
  kOwner,     // below the system's temporary folder, with this process's file modes
  kEveryone,  // below SharedTemporaryFolder(); folders made with mode 0755, files written with 0644
};

// A fresh folder below the system's temporary folder (with Reach::kEveryone,
// below one every user can enter), removed with its contents when the object
// goes away.
class TempTree {
 public:
  explicit TempTree(Reach reach = Reach::kOwner);
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }
  // Root() + "/" + relative.
  std::string Path(const std::string& relative) const;
  // Writes a file (creating its folders); content is written byte for byte.
  void Write(const std::string& relative, const std::string& content) const;
  void MakeDir(const std::string& relative) const;
  // A symbolic link at relative pointing to target (taken as it stands).
  void Link(const std::string& relative, const std::string& target) const;

 private:
  // Makes folder and the folders above it up to the root, with mode 0755
  // for Reach::kEveryone.
  void MakeFolders(const boost::filesystem::path& folder) const;
  std::string root_;
  Reach reach_;
};

}  // namespace skerry::test

#endif
