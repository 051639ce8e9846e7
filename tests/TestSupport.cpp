#include "tests/TestSupport.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <boost/filesystem.hpp>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>
#include <utility>

#include "driver/Run.h"
#include "report/OutputStream.h"

#ifndef SKERRY_LINT_BINARY
#error "SKERRY_LINT_BINARY must name the built checker"
#endif

namespace skerry::test {

namespace fs = boost::filesystem;

namespace {

void Redirect(const LaunchOptions& options, int outWrite) {
  switch (options.output) {
    case LaunchOptions::Output::kPipe:
    case LaunchOptions::Output::kReaderGone:
      dup2(outWrite, 1);
      break;
    case LaunchOptions::Output::kFile: {
      int file = open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (file < 0) _exit(127);
      dup2(file, 1);
      close(file);
      break;
    }
    case LaunchOptions::Output::kClosed:
      close(1);
      break;
  }
}

const fs::perms kEveryoneFolder = fs::owner_all | fs::group_read | fs::group_exe | fs::others_read | fs::others_exe;
const fs::perms kEveryoneFile = fs::owner_read | fs::owner_write | fs::group_read | fs::others_read;

// Whether every user may enter folder and each folder above it, and run
// programs from it.
bool EveryoneCanEnter(const fs::path& folder) {
  boost::system::error_code error;
  const fs::path real = fs::canonical(folder, error);
  struct statvfs volume;
  if (error || statvfs(real.c_str(), &volume) != 0 || (volume.f_flag & ST_NOEXEC) != 0) return false;
  for (fs::path step = real; !step.empty(); step = step.parent_path()) {
    struct stat status;
    if (stat(step.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || (status.st_mode & S_IXOTH) == 0) return false;
    if (step == step.root_path()) break;
  }
  return true;
}

// A copy of the built checker in a fresh folder below
// SharedTemporaryFolder(), both open to every user; removed with its folder
// when the object goes away.
class SharedCheckerCopy {
 public:
  SharedCheckerCopy() : folder_(Reach::kEveryone) {
    const fs::path copy = folder_.Path("Skerry_Lint");
    fs::copy_file(SKERRY_LINT_BINARY, copy);
    fs::permissions(copy, kEveryoneFile | fs::owner_exe | fs::group_exe | fs::others_exe);
    path_ = copy.string();
  }
  const std::string& Path() const { return path_; }

 private:
  TempTree folder_;
  std::string path_;
};

}  // namespace

const std::string& SharedTemporaryFolder() {
  static const std::string folder = [] {
    boost::system::error_code error;
    const fs::path system = fs::temp_directory_path(error);
    std::vector<fs::path> candidates{"/tmp", "/var/tmp", "/dev/shm"};
    if (!error) candidates.insert(candidates.begin(), system);
    for (const fs::path& candidate : candidates) {
      if (EveryoneCanEnter(candidate)) return candidate.string();
    }
    return std::string();
  }();
  return folder;
}

RunResult Launch(const std::vector<std::string>& args, const LaunchOptions& options) {
  std::optional<SharedCheckerCopy> shared;
  if (options.runAs != nullptr) {
    if (SharedTemporaryFolder().empty()) {
      throw std::runtime_error("no folder that every user can enter for a copy of the checker");
    }
    shared.emplace();
  }
  int outPipe[2];
  int errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
  if (options.output == LaunchOptions::Output::kReaderGone) close(outPipe[0]);
  std::vector<std::string> argvText;
  if (options.measurePeak) argvText = {"/usr/bin/time", "-f", "%M"};
  argvText.push_back(shared ? shared->Path() : SKERRY_LINT_BINARY);
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvText) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    Redirect(options, outPipe[1]);
    dup2(errPipe[1], 2);
    if (options.output != LaunchOptions::Output::kReaderGone) close(outPipe[0]);
    close(outPipe[1]);
    close(errPipe[0]);
    close(errPipe[1]);
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, 0);
    if (devNull > 2) close(devNull);
    signal(SIGPIPE, SIG_DFL);
    if (!options.workingDir.empty() && chdir(options.workingDir.c_str()) != 0) _exit(127);
    for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
    if (options.addressSpaceKilobytes > 0) {
      const rlim_t bytes = static_cast<rlim_t>(options.addressSpaceKilobytes) * 1024;
      rlimit limit{bytes, bytes};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(127);
    }
    cpu_set_t set;
    if (options.oneProcessor && sched_getaffinity(0, sizeof set, &set) == 0) {
      int first = 0;
      while (!CPU_ISSET(first, &set)) ++first;
      CPU_ZERO(&set);
      CPU_SET(first, &set);
      if (sched_setaffinity(0, sizeof set, &set) != 0) _exit(127);
    }
    if (options.runAs != nullptr &&
        (setgroups(0, nullptr) != 0 || setgid(options.runAs->second) != 0 || setuid(options.runAs->first) != 0)) {
      _exit(126);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (options.output != LaunchOptions::Output::kReaderGone) close(outPipe[1]);
  close(errPipe[1]);
  RunResult result;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  // Standard output is read only from a pipe the test reads.
  bool outOpen = options.output == LaunchOptions::Output::kPipe;
  bool errOpen = true;
  bool timedOut = false;
  char buffer[65536];
  while (outOpen || errOpen) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      kill(child, SIGKILL);
      break;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    fds[0].fd = outOpen ? outPipe[0] : -1;
    fds[1].fd = errOpen ? errPipe[0] : -1;
    if (poll(fds, 2, static_cast<int>(left.count())) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(got));
      } else {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
  }
  if (options.output == LaunchOptions::Output::kReaderGone) {
    close(outPipe[1]);
  } else {
    close(outPipe[0]);
  }
  close(errPipe[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (timedOut) {
    result.exitCode = -2;
  } else if (WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  } else {
    result.exitCode = 128 + WTERMSIG(status);
  }
  if (options.measurePeak) {
    // time's line ends standard error; it reports a checker killed by a
    // signal as time's own exit code, 128 + N, and a line before it.
    std::size_t end = result.err.size();
    if (end > 0 && result.err[end - 1] == '\n') --end;
    std::size_t start = result.err.rfind('\n', end == 0 ? 0 : end - 1);
    start = start == std::string::npos ? 0 : start + 1;
    result.peakKilobytes = std::atol(result.err.substr(start, end - start).c_str());
    result.err.erase(start);
  }
  return result;
}

RunResult RunLint(const std::vector<std::string>& args, const std::string& workingDir, int timeoutSeconds) {
  LaunchOptions options;
  options.workingDir = workingDir;
  options.timeoutSeconds = timeoutSeconds;
  return Launch(args, options);
}

RunResult RunLintAs(uid_t user, gid_t group, const std::vector<std::string>& args, const std::string& workingDir,
                    int timeoutSeconds) {
  const std::pair<uid_t, gid_t> runAs(user, group);
  LaunchOptions options;
  options.workingDir = workingDir;
  options.timeoutSeconds = timeoutSeconds;
  options.runAs = &runAs;
  return Launch(args, options);
}

RunResult RunUnprivileged(const std::vector<std::string>& args, const std::string& workingDir, int timeoutSeconds) {
  return getuid() == 0 ? RunLintAs(65534, 65534, args, workingDir, timeoutSeconds)
                       : RunLint(args, workingDir, timeoutSeconds);
}

bool CouldNotSwitchUser(const RunResult& run) { return run.exitCode == 126; }

std::string SwitchUserSkipReason(const RunResult& run) {
  return "cannot switch to another user to run the checker (exit " + std::to_string(run.exitCode) + ")";
}

const char kTwoUpper[] = "two upper case letters in filename are not allowed";
const char kAlnum[] = "only letters and numbers are allowed for filename";

std::string Progress(const std::string& name, int lines) {
  return "Reading File : " + QuotedPath(name) + " size: " + std::to_string(lines) + " lines\n";
}

std::string Unopened(const std::string& name) { return "Reading File : " + QuotedPath(name); }

std::string ArgumentErrorOutput(const std::string& argument) {
  const std::string rule(54, ' ');
  return BannerLines() + "argument error :" + argument + " is no dir or file!\n" + rule +
         "\nProgram Usage: Skerry_Lint [path]\n\nNote: \n    [path] is optional.\n"
         "      If not submitted, the current directory is used\n" +
         rule + "\n";
}

std::string MaskBuildDate(const std::string& output) {
  static const std::regex banner("^(Skerry_Lint version [0-9]+[.][0-9]+ from )[A-Z][a-z][a-z] [ 0-9][0-9] [0-9]{4}\n");
  static const std::regex build("(\nBUILD: )[A-Z][a-z][a-z] [ 0-9][0-9] [0-9]{4}\n");
  std::string masked = std::regex_replace(output, banner, "$1<DATE>\n", std::regex_constants::format_first_only);
  return std::regex_replace(masked, build, "$1<DATE>\n", std::regex_constants::format_first_only);
}

std::string BannerLines() {
  return "Skerry_Lint version 1.0 from <DATE>\n"
         "Copyright (c) 2026 the Skerry_Lint developers\n";
}

std::string RunHeader(const std::string& quotedRoot) {
  return BannerLines() + "BUILD: <DATE>\n" + "Searching for rule violations in : " + quotedRoot + "\n";
}

std::string QuotedPath(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '&') quoted.push_back('&');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

TempTree::TempTree(Reach reach) : reach_(reach) {
  if (reach == Reach::kEveryone && SharedTemporaryFolder().empty()) {
    throw std::runtime_error("no folder that every user can enter");
  }
  const fs::path parent = reach == Reach::kEveryone ? fs::path(SharedTemporaryFolder()) : fs::temp_directory_path();
  const fs::path base = parent / fs::unique_path("skerry-%%%%-%%%%-%%%%");
  fs::create_directories(base);
  if (reach == Reach::kEveryone) fs::permissions(base, kEveryoneFolder);
  root_ = base.string();
}

TempTree::~TempTree() {
  boost::system::error_code error;
  // Undo permission changes a test may have made, then remove everything.
  for (fs::recursive_directory_iterator it(root_, error), end; !error && it != end; it.increment(error)) {
    if (fs::is_directory(it->symlink_status())) fs::permissions(it->path(), fs::owner_all, error);
  }
  fs::remove_all(root_, error);
}

std::string TempTree::Path(const std::string& relative) const { return root_ + "/" + relative; }

void TempTree::MakeFolders(const fs::path& folder) const {
  if (reach_ == Reach::kOwner) {
    fs::create_directories(folder);
    return;
  }
  if (folder.string().size() <= root_.size() || fs::exists(folder)) return;
  MakeFolders(folder.parent_path());
  fs::create_directory(folder);
  fs::permissions(folder, kEveryoneFolder);
}

void TempTree::Write(const std::string& relative, const std::string& content) const {
  fs::path target(Path(relative));
  MakeFolders(target.parent_path());
  {
    std::ofstream out(target.string(), std::ios::binary);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }
  if (reach_ == Reach::kEveryone) fs::permissions(target, kEveryoneFile);
}

void TempTree::MakeDir(const std::string& relative) const { MakeFolders(Path(relative)); }

void TempTree::Link(const std::string& relative, const std::string& target) const {
  fs::path link(Path(relative));
  MakeFolders(link.parent_path());
  fs::create_symlink(target, link);
}

std::uint64_t UnnamedFileBytes() {
  std::uint64_t bytes = 0;
  boost::system::error_code error;
  for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error)) {
    const std::string target = fs::read_symlink(it->path(), error).string();
    const std::string deleted = " (deleted)";
    struct stat status;
    if (error || target.size() < deleted.size() ||
        target.compare(target.size() - deleted.size(), deleted.size(), deleted) != 0 ||
        stat(it->path().c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
      error.clear();
      continue;
    }
    bytes += static_cast<std::uint64_t>(status.st_size);
  }
  return bytes;
}

RunResult RunInProcess(const std::vector<std::string>& args, const FileSystem& files) {
  std::vector<std::string> copies{"Skerry_Lint"};
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  StringOutput out;
  RunResult result;
  result.exitCode = RunChecker(static_cast<int>(copies.size()), argv.data(), out, files);
  result.out = out.Text();
  return result;
}

namespace {

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinPath(const std::vector<std::string>& parts) {
  std::string path;
  for (const std::string& part : parts) path += "/" + part;
  return path.empty() ? "/" : path;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() { entries_["/"] = Entry{}; }

MemoryFileSystem::Entry& MemoryFileSystem::Add(const std::string& path, Entry::Kind kind) {
  std::vector<std::string> parts = SplitPath(path);
  std::vector<std::string> done;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::string parent = JoinPath(done);
    done.push_back(parts[i]);
    const std::string current = JoinPath(done);
    if (entries_.count(current) == 0) {
      Entry entry;
      entry.kind = i + 1 == parts.size() ? kind : Entry::Kind::kDirectory;
      entry.id = entries_.size();
      entries_[current] = entry;
      entries_[parent].children.push_back(parts[i]);
    }
  }
  return entries_[JoinPath(done)];
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& bytes, bool readable) {
  Entry& entry = Add(path, Entry::Kind::kFile);
  entry.content = bytes;
  entry.readable = readable;
}

void MemoryFileSystem::AddDirectory(const std::string& path) { Add(path, Entry::Kind::kDirectory); }

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target) {
  Add(path, Entry::Kind::kLink).content = target;
}

std::optional<std::string> MemoryFileSystem::Resolve(const std::string& path, bool& loop) const {
  std::vector<std::string> pending = SplitPath(path);
  std::reverse(pending.begin(), pending.end());
  std::vector<std::string> done;
  int links = 0;
  while (!pending.empty()) {
    const std::string part = pending.back();
    pending.pop_back();
    if (part == ".") continue;
    if (part == "..") {
      if (!done.empty()) done.pop_back();
      continue;
    }
    done.push_back(part);
    auto it = entries_.find(JoinPath(done));
    if (it == entries_.end()) return std::nullopt;
    if (it->second.kind == Entry::Kind::kLink) {
      if (++links > 40) {
        loop = true;
        return std::nullopt;
      }
      done.pop_back();
      const std::string& target = it->second.content;
      if (!target.empty() && target[0] == '/') done.clear();
      std::vector<std::string> parts = SplitPath(target);
      pending.insert(pending.end(), parts.rbegin(), parts.rend());
    } else if (it->second.kind == Entry::Kind::kFile && !pending.empty()) {
      return std::nullopt;  // a name below a file
    }
  }
  return JoinPath(done);
}

PathStatus MemoryFileSystem::Stat(const boost::filesystem::path& path) const {
  PathStatus status;
  bool loop = false;
  std::optional<std::string> resolved = Resolve(path.string(), loop);
  if (loop) {
    status.type = PathStatus::Type::kUnknown;
    status.error = "Too many levels of symbolic links";
  } else if (resolved) {
    const Entry& entry = entries_.at(*resolved);
    status.type = entry.kind == Entry::Kind::kFile ? PathStatus::Type::kRegular : PathStatus::Type::kDirectory;
    status.identified = entry.kind == Entry::Kind::kDirectory;
    status.inode = entry.id;
  }
  return status;
}

bool MemoryFileSystem::ReadFile(const boost::filesystem::path& path, std::string& bytes) const {
  bool loop = false;
  std::optional<std::string> resolved = Resolve(path.string(), loop);
  if (!resolved) return false;
  const Entry& entry = entries_.at(*resolved);
  if (entry.kind != Entry::Kind::kFile || !entry.readable) return false;
  bytes = entry.content;
  return true;
}

void MemoryFileSystem::ListDirectory(const boost::filesystem::path& directory,
                                     std::vector<boost::filesystem::path>& names, std::string& error) const {
  bool loop = false;
  std::optional<std::string> resolved = Resolve(directory.string(), loop);
  if (!resolved || entries_.at(*resolved).kind != Entry::Kind::kDirectory) {
    error = resolved ? "Not a directory" : "No such file or directory";
    return;
  }
  for (const std::string& name : entries_.at(*resolved).children) names.emplace_back(name);
}

bool MemoryFileSystem::CurrentDirectory(boost::filesystem::path& directory) const {
  directory = "/";
  return true;
}

}  // namespace skerry::test
