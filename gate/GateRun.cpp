#include "gate/GateRun.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "analysis/Waivers.h"
#include "driver/ConsoleOutput.h"
#include "driver/SourceFileCheck.h"
#include "driver/TreeCheck.h"
#include "driver/VersionBanner.h"
#include "gate/Baseline.h"
#include "gate/BaselineWriter.h"
#include "gate/Classification.h"
#include "gate/Exclusions.h"
#include "gate/GateOptions.h"
#include "gate/GitChanges.h"
#include "gate/PathKey.h"

namespace skerry {

namespace fs = boost::filesystem;

namespace {

constexpr std::size_t kStaleShown = 10;
constexpr std::size_t kFileMemoryBound = std::size_t{1} << 20;

// What the gate adds to the report of a file.
struct FileVerdict : FileAttachment {
  std::string key;
  std::vector<std::string> takenKeys;  // the baseline paths whose entries the file was matched with
  Classification classification;
  std::vector<BaselineEntry> stale;  // entries of those paths that the file no longer reports
};

// One PATH argument.
struct Root {
  std::string argument;
  fs::path path;
  bool singleFile = false;
  std::string absolute;  // links resolved, normalised
  std::string relative;  // to the current folder, when below it; else absolute
};

struct StaleEntry {
  std::string key;
  std::string message;
  std::uint64_t count;
};

std::string Plural(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

// A folder's real path (links resolved), normalised; the lexical form when
// it cannot be resolved.
std::string RealPath(const fs::path& path, const std::string& currentFolder) {
  boost::system::error_code code;
  const fs::path real = fs::canonical(path, code);
  return code ? AbsolutePath(path.string(), currentFolder) : NormalizedPath(real.string());
}

// The real path of a file: its folder's, and its own name (a link to a file
// stays the link, as the walk reaches it).
std::string RealFilePath(const fs::path& path, const std::string& currentFolder) {
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  return JoinKey(RealPath(parent, currentFolder), path.filename().string());
}

// The text inside the quotes of a quoted path ("&&" and "&\"" unescaped).
std::string UnquotedPath(std::string_view quoted) {
  const std::size_t open = quoted.find('"');
  const std::size_t close = quoted.rfind('"');
  if (open == std::string_view::npos || close <= open) return std::string();
  std::string text;
  for (std::size_t i = open + 1; i < close; ++i) {
    if (quoted[i] == '&' && i + 1 < close) ++i;
    text.push_back(quoted[i]);
  }
  return text;
}

class Gate : public TreeCheckSink {
 public:
  Gate(const GateOptions& options, const char* program, OutputStream& out, OutputStream& errors,
       const FileSystem& files)
      : options_(options), program_(program), out_(out), errors_(errors), files_(files), exclusions_(options.excludes) {
    wants_.changedLinesOnly = !options.changedSince.empty();
    wants_.everyEntry = !options.writeBaseline.empty();
    wants_.knownEntries = options.updateBaseline;
    wants_.records = !options.jsonLines.empty();
  }
  // After Prepare: the writer takes each file's baseline lines as they are made.
  void WantEntries() {
    if (writer_ == nullptr) return;
    BaselineWriter* writer = writer_.get();
    wants_.entriesTo = [writer](std::string_view key, std::string_view lines, std::uint64_t entries,
                                std::uint64_t violations) {
      writer->Add(std::string(key), lines, entries, violations);
    };
  }
  ~Gate() override {
    if (jsonLines_ != nullptr) std::fclose(jsonLines_);
  }

  int Run();

  bool Skip(const fs::path& entry) override;
  FileReport Check(const fs::path& path, const FileSystem& files, SpillFile* spill) override;
  void OnReport(FileReport& report) override;
  void OnNotice(const WalkNotice& notice) override {
    if (options_.quiet) {
      Say(NoticeLine(notice));
    } else {
      out_.WriteLine(NoticeLine(notice));
    }
  }

 private:
  void Say(const std::string& line) { errors_.WriteLine("skerry-lint-gate: " + line); }
  bool Prepare();
  bool ResolveRoots();
  void CheckRoots();
  void ClassifyListing();
  void ClassifyRun(const std::string& path, const std::string& text);
  void FindStale();
  void Record(const std::string& json);
  int Summarize();
  std::string Suffix(const std::string& entry) const;
  // The path of a file with the links of its folders resolved (its folder's
  // real path looked up once per folder), so that a file reached through a
  // link to a folder has the same key whichever way the walk came.
  std::string RealFilePathOf(const fs::path& file);
  bool Covered(const std::string& key) const;

  const GateOptions& options_;
  const char* program_;
  OutputStream& out_;
  OutputStream& errors_;
  const FileSystem& files_;
  Exclusions exclusions_;
  ClassificationWants wants_;

  std::string currentFolder_;
  std::string keyFolder_;  // baseline keys are relative to it
  std::unique_ptr<Baseline> baseline_;
  std::unique_ptr<BaselineWriter> writer_;
  std::unique_ptr<ChangedLines> changes_;
  std::unordered_map<std::string, std::string> movedFrom_;  // key now -> key in the baseline
  std::FILE* jsonLines_ = nullptr;
  std::vector<Root> roots_;
  const Root* root_ = nullptr;  // the one being walked

  // Filled on the calling thread as the reports come.
  DiagnosticListing listing_;
  std::set<std::pair<std::uint64_t, std::uint64_t>> seen_;  // files checked
  GateCounts counts_;
  std::uint64_t excluded_ = 0;
  std::unordered_set<std::string> taken_;
  std::unordered_map<std::string, std::vector<BaselineEntry>> left_;  // listing: entries left of paths met
  std::vector<StaleEntry> stale_;
  std::vector<std::string> failures_;
  bool completed_ = true;
  std::mutex foldersMutex_;
  std::unordered_map<std::string, std::string> realFolders_;
  std::unordered_map<std::string, std::string> listedAs_;  // listing: key -> the path it was printed as first
};

bool Gate::Prepare() {
  if (!exclusions_.Valid()) {
    Say("--exclude: a pattern does not make a valid expression");
    return false;
  }
  fs::path current;
  if (!files_.CurrentDirectory(current)) {
    Say("cannot find out the current folder");
    return false;
  }
  currentFolder_ = RealPath(current, NormalizedPath(current.string()));
  std::string error;
  keyFolder_ = currentFolder_;
  if (!options_.baseline.empty()) {
    baseline_ = std::make_unique<Baseline>();
    if (!baseline_->Load(options_.baseline, error)) {
      Say(error);
      return false;
    }
    keyFolder_ =
        RealPath(fs::path(RealFilePath(fs::path(options_.baseline), currentFolder_)).parent_path(), currentFolder_);
  }
  const std::string& written = options_.updateBaseline ? options_.baseline : options_.writeBaseline;
  if (!written.empty()) {
    writer_ = std::make_unique<BaselineWriter>(written);
    if (!writer_->CheckWritable(error)) {
      Say(error);
      return false;
    }
    if (baseline_ == nullptr) {
      keyFolder_ = RealPath(fs::path(RealFilePath(fs::path(written), currentFolder_)).parent_path(), currentFolder_);
    }
  }
  if (!options_.jsonLines.empty()) {
    jsonLines_ = std::fopen(options_.jsonLines.c_str(), "wb");
    if (jsonLines_ == nullptr) {
      Say("cannot write " + options_.jsonLines + ": " + std::strerror(errno));
      return false;
    }
  }
  if (!options_.changedSince.empty()) {
    changes_ = std::make_unique<ChangedLines>();
    if (!changes_->Load(options_.changedSince, currentFolder_, error)) {
      Say(error);
      return false;
    }
  }
  if (baseline_ != nullptr) {
    for (const auto& move : MovesSinceCommitOf(options_.baseline)) {
      const std::string before = KeyBelow(move.first, keyFolder_);
      if (baseline_->Holds(before)) movedFrom_[KeyBelow(move.second, keyFolder_)] = before;
    }
  }
  return true;
}

bool Gate::ResolveRoots() {
  bool ok = true;
  for (const std::string& argument : options_.paths) {
    Root root;
    root.argument = argument;
    root.path = fs::path(argument);
    const PathStatus status = files_.Stat(root.path);
    if (status.type != PathStatus::Type::kRegular && status.type != PathStatus::Type::kDirectory) {
      Say(argument + (status.type == PathStatus::Type::kUnknown ? " cannot be checked: " + status.error
                                                                : " is no dir or file: nothing to check"));
      ok = false;
      continue;
    }
    root.singleFile = status.type == PathStatus::Type::kRegular;
    root.absolute = root.singleFile ? RealFilePath(root.path, currentFolder_) : RealPath(root.path, currentFolder_);
    root.relative = KeyBelow(root.absolute, currentFolder_);
    if (changes_ != nullptr && !IsAtOrBelow(root.absolute, changes_->Top())) {
      Say("--changed-since: " + argument + " is outside the git work tree " + changes_->Top());
      ok = false;
      continue;
    }
    roots_.push_back(std::move(root));
  }
  if (!ok) return false;
  // A path inside another (in any order), or given twice, is checked once.
  std::vector<Root> kept;
  for (std::size_t i = 0; i < roots_.size(); ++i) {
    const Root& root = roots_[i];
    const std::string normal = NormalizedPath(root.argument);
    if (!exclusions_.empty() && normal != "" && normal != ".." &&
        (exclusions_.Excludes(normal) || exclusions_.Excludes(root.relative))) {
      Say(root.argument + " is excluded: not checked");
      ++excluded_;
      Record("{\"kind\":\"excluded\",\"path\":" + JsonText(root.argument) + "}\n");
      continue;
    }
    const Root* within = nullptr;
    for (std::size_t j = 0; j < roots_.size() && within == nullptr; ++j) {
      if (j == i || roots_[j].singleFile) continue;
      const bool inside = IsAtOrBelow(root.absolute, roots_[j].absolute) && root.absolute != roots_[j].absolute;
      if (inside || (root.absolute == roots_[j].absolute && j < i)) within = &roots_[j];
    }
    if (within == nullptr) {
      for (const Root& earlier : kept) {
        if (earlier.singleFile && earlier.absolute == root.absolute) within = &earlier;
      }
    }
    if (within != nullptr) {
      Say(root.argument + " is checked with " + within->argument + " already: not checked again");
      continue;
    }
    kept.push_back(root);
  }
  roots_ = std::move(kept);
  return true;
}

std::string Gate::Suffix(const std::string& entry) const {
  const std::string& rootText = root_->path.string();
  std::size_t at = entry.compare(0, rootText.size(), rootText) == 0 ? rootText.size() : 0;
  while (at < entry.size() && (entry[at] == '/' || entry[at] == '\\')) ++at;
  return NormalizedPath(std::string_view(entry).substr(at));
}

std::string Gate::RealFilePathOf(const fs::path& file) {
  const fs::path parent = file.has_parent_path() ? file.parent_path() : fs::path(".");
  const std::string folder = parent.string();
  {
    std::lock_guard<std::mutex> lock(foldersMutex_);
    const auto found = realFolders_.find(folder);
    if (found != realFolders_.end()) return JoinKey(found->second, file.filename().string());
  }
  const std::string real = RealPath(parent, currentFolder_);
  std::lock_guard<std::mutex> lock(foldersMutex_);
  realFolders_.emplace(folder, real);
  return JoinKey(real, file.filename().string());
}

bool Gate::Skip(const fs::path& entry) {
  const std::string text = entry.string();
  if (!exclusions_.empty()) {
    if (exclusions_.Excludes(NormalizedPath(JoinKey(root_->relative, Suffix(text)))) ||
        exclusions_.Excludes(NormalizedPath(text))) {
      ++excluded_;
      Record("{\"kind\":\"excluded\",\"path\":" + JsonText(text) + "}\n");
      return true;
    }
  }
  if (!IsSourceFileText(text)) return false;
  const PathStatus identity = files_.Identify(entry);
  return identity.identified && !seen_.emplace(identity.device, identity.inode).second;
}

FileReport Gate::Check(const fs::path& path, const FileSystem& files, SpillFile* spill) {
  SourceLines lines;
  // A file's diagnostics are read again to be filtered: up to a bound they
  // stay in memory for that.
  FileReport report = CheckSourceFile(path, files, spill, &lines, kFileMemoryBound);
  auto verdict = std::make_unique<FileVerdict>();
  const std::string pathText = path.string();
  const std::string absolute = root_->singleFile ? root_->absolute : RealFilePathOf(path);
  verdict->key = KeyBelow(absolute, keyFolder_);
  const Waivers waivers = Waivers::Of(lines);
  const FileChange* change = changes_ != nullptr ? changes_->Of(absolute) : nullptr;
  const auto moved = baseline_ != nullptr ? movedFrom_.find(verdict->key) : movedFrom_.end();
  const bool known = baseline_ != nullptr && baseline_->Holds(verdict->key);
  if (known && moved == movedFrom_.end() && waivers.empty() && changes_ == nullptr && !wants_.everyEntry &&
      !wants_.knownEntries && !wants_.records) {
    // The usual case in CI: a file whose diagnostics are its entries, all
    // of them known, told without reading the entries.
    MessagesOf messages(pathText);
    report.diagnostics.WriteTo(messages);
    messages.Flush();
    if (messages.fingerprint == baseline_->FingerprintOf(verdict->key)) {
      verdict->classification.counts.known = report.diagnostics.size();
      verdict->takenKeys.push_back(verdict->key);
      report.diagnostics = DiagnosticList();
      report.attachment = std::move(verdict);
      return report;
    }
  }
  BaselineEntryViews entries;
  if (known) {
    baseline_->ReadEntries(verdict->key, entries);
    verdict->takenKeys.push_back(verdict->key);
  }
  if (moved != movedFrom_.end()) {
    baseline_->ReadEntries(moved->second, entries);
    verdict->takenKeys.push_back(moved->second);
  }
  if (entries.entries.empty() && waivers.empty() && changes_ == nullptr && !wants_.everyEntry && !wants_.records) {
    // Nothing can leave a diagnostic out: all of them are new.
    verdict->classification.counts.fresh = report.diagnostics.size();
  } else if (!report.diagnostics.empty() || !entries.entries.empty()) {
    DiagnosticList kept(spill);
    Classifier classifier(pathText, verdict->key, waivers, change, entries, wants_, kept, verdict->classification);
    report.diagnostics.WriteTo(classifier);
    classifier.Finish();
    report.diagnostics = std::move(kept);
    for (const auto& entry : entries.entries) {
      if (entry.count > 0) verdict->stale.push_back(BaselineEntry{std::string(entry.message), entry.count});
    }
  }
  report.attachment = std::move(verdict);
  return report;
}

void Gate::OnReport(FileReport& report) {
  if (!options_.quiet && !report.console.empty()) out_.Write(report.console);
  listing_.AppendAll(std::move(report.diagnostics));
  const FileVerdict* verdict = dynamic_cast<const FileVerdict*>(report.attachment.get());
  if (verdict == nullptr) return;
  counts_ += verdict->classification.counts;
  for (const std::string& key : verdict->takenKeys) taken_.insert(key);
  Record(verdict->classification.records);
  for (const BaselineEntry& entry : verdict->stale)
    stale_.push_back(StaleEntry{verdict->key, entry.message, entry.count});
}

void Gate::Record(const std::string& json) {
  if (jsonLines_ != nullptr && !json.empty()) std::fwrite(json.data(), 1, json.size(), jsonLines_);
}

void Gate::CheckRoots() {
  if (!options_.quiet) {
    PrintVersionBanner(program_, out_);
    out_.WriteLine(std::string("BUILD: ") + BuildDate());
  }
  const unsigned threads = options_.jobs > 0 ? options_.jobs : CheckingThreads();
  try {
    for (const Root& root : roots_) {
      root_ = &root;
      if (!options_.quiet) out_.WriteLine("Searching for rule violations in : " + QuotedForm(root.path));
      if (root.singleFile) {
        if (!Skip(root.path)) {
          FileReport report = Check(root.path, files_, listing_.Spill());
          OnReport(report);
        }
      } else {
        CheckTree(root.path, threads, *this, files_, listing_.Spill());
      }
    }
  } catch (const OutputFailure&) {
    throw;
  } catch (const std::exception& failure) {
    if (!options_.quiet) out_.Write("\n");
    listing_.Write(out_);
    if (!options_.quiet) out_.WriteLine(std::string("run aborted : ") + failure.what());
    failures_.push_back(std::string("run aborted : ") + failure.what());
    completed_ = false;
    return;
  }
  if (!options_.quiet) out_.Write("\n");
  listing_.Write(out_);
  if (!options_.quiet) out_.WriteLine("Operation Finsh");
}

void Gate::ClassifyRun(const std::string& path, const std::string& text) {
  const std::string absolute = RealFilePathOf(fs::path(path));
  const std::string key = KeyBelow(absolute, keyFolder_);
  // The same file under another path (through a link): checked once, as a
  // walk of the gate does.
  const auto listed = listedAs_.emplace(key, path);
  if (!listed.second && listed.first->second != path) return;
  if (!exclusions_.empty() &&
      (exclusions_.Excludes(NormalizedPath(path)) || exclusions_.Excludes(KeyBelow(absolute, currentFolder_)))) {
    ++excluded_;
    Record("{\"kind\":\"excluded\",\"path\":" + JsonText(path) + "}\n");
    return;
  }
  BaselineEntryViews entries;
  auto found = left_.find(key);
  if (found != left_.end()) {
    // Printed in an earlier run of the listing: what that one left.
    for (const BaselineEntry& entry : found->second) {
      entries.storage.push_back(entry.message);
      entries.entries.push_back(BaselineEntryViews::Entry{entries.storage.back(), entry.count});
    }
  } else if (baseline_ != nullptr) {
    if (baseline_->Holds(key)) {
      baseline_->ReadEntries(key, entries);
      taken_.insert(key);
    }
    const auto moved = movedFrom_.find(key);
    if (moved != movedFrom_.end()) {
      baseline_->ReadEntries(moved->second, entries);
      taken_.insert(moved->second);
    }
  }
  std::string bytes;
  Waivers waivers;
  if (files_.ReadFile(fs::path(path), bytes)) waivers = Waivers::Of(SourceLines::FromBytes(std::move(bytes)));
  const FileChange* change = changes_ != nullptr ? changes_->Of(absolute) : nullptr;
  DiagnosticList kept;
  Classification result;
  Classifier classifier(path, key, waivers, change, entries, wants_, kept, result);
  classifier.Write(text);
  classifier.Finish();
  std::vector<BaselineEntry> left;
  for (const auto& entry : entries.entries) {
    if (entry.count > 0) left.push_back(BaselineEntry{std::string(entry.message), entry.count});
  }
  if (left.empty()) {
    left_.erase(key);
  } else {
    left_[key] = std::move(left);
  }
  counts_ += result.counts;
  Record(result.records);
  if (!kept.empty()) kept.WriteTo(out_);
}

void Gate::ClassifyListing() {
  std::FILE* input = options_.listing == "-" ? stdin : std::fopen(options_.listing.c_str(), "rb");
  if (input == nullptr) {
    failures_.push_back("cannot read " + options_.listing + ": " + std::strerror(errno));
    completed_ = false;
    return;
  }
  bool finished = false;
  std::string runPath;
  std::string run;
  auto flush = [&] {
    if (!run.empty()) ClassifyRun(runPath, run);
    run.clear();
  };
  auto line = [&](std::string_view text) {
    std::string_view bare = text;
    if (!bare.empty() && bare.back() == '\n') bare.remove_suffix(1);
    std::string_view path;
    std::string_view message;
    int32_t number = 0;
    if (SplitDiagnosticLine(bare, path, number, message)) {
      if (path != runPath) {
        flush();
        runPath.assign(path);
      }
      run.append(text);
      if (text.empty() || text.back() != '\n') run.push_back('\n');
      return;
    }
    flush();
    std::string_view plain = bare;
    if (!plain.empty() && plain.back() == '\r') plain.remove_suffix(1);
    if (plain == "Operation Finsh") finished = true;
    if (plain.substr(0, 14) == "run aborted : " || plain.substr(0, 16) == "argument error :") {
      failures_.push_back(options_.listing + ": " + std::string(plain));
    }
    if (plain.substr(0, 35) == "Searching for rule violations in : ") {
      Root root;
      root.argument = UnquotedPath(plain.substr(35));
      root.absolute = AbsolutePath(root.argument, currentFolder_);
      roots_.push_back(root);
    }
    if (!options_.quiet) out_.Write(text);
  };
  std::vector<char> block(std::size_t{1} << 20);
  std::string carry;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), input);
    if (got == 0) break;
    std::string_view data(block.data(), got);
    for (;;) {
      const std::size_t end = data.find('\n');
      if (end == std::string_view::npos) break;
      if (carry.empty()) {
        line(data.substr(0, end + 1));
      } else {
        carry.append(data.substr(0, end + 1));
        line(carry);
        carry.clear();
      }
      data.remove_prefix(end + 1);
    }
    carry.append(data);
  }
  if (!carry.empty()) line(carry);
  flush();
  const bool readError = std::ferror(input) != 0;
  if (input != stdin) std::fclose(input);
  if (readError) failures_.push_back("cannot read " + options_.listing + ": " + std::strerror(errno));
  if (!finished && failures_.empty()) {
    failures_.push_back("the output in " + options_.listing + " ends without \"Operation Finsh\"");
  }
  completed_ = failures_.empty();
  for (auto& entry : left_) {
    for (BaselineEntry& left : entry.second) stale_.push_back(StaleEntry{entry.first, left.message, left.count});
  }
}

bool Gate::Covered(const std::string& key) const {
  const std::string absolute = IsAbsolutePath(key) ? key : JoinKey(keyFolder_, key);
  bool covered = false;
  for (const Root& root : roots_) {
    covered = covered || (root.singleFile ? absolute == root.absolute : IsAtOrBelow(absolute, root.absolute));
  }
  return covered && !exclusions_.Excludes(KeyBelow(absolute, currentFolder_));
}

void Gate::FindStale() {
  std::vector<std::string> paths = baseline_->Paths();
  std::sort(paths.begin(), paths.end());
  for (const std::string& key : paths) {
    if (taken_.count(key) > 0 || !Covered(key)) continue;
    for (BaselineEntry& entry : baseline_->EntriesOf(key)) {
      stale_.push_back(StaleEntry{key, std::move(entry.message), entry.count});
    }
  }
  std::stable_sort(stale_.begin(), stale_.end(),
                   [](const StaleEntry& a, const StaleEntry& b) { return a.key < b.key; });
}

int Gate::Summarize() {
  for (const std::string& failure : failures_) Say(failure);
  const bool filtered = baseline_ != nullptr || changes_ != nullptr;
  const std::string word = filtered ? "new naming violation" : "naming violation";
  const std::uint64_t fresh = counts_.fresh;
  std::uint64_t staleCount = 0;
  for (const StaleEntry& entry : stale_) staleCount += entry.count;
  if (jsonLines_ != nullptr) {
    Record("{\"kind\":\"summary\",\"completed\":" + std::string(completed_ ? "true" : "false") +
           ",\"new\":" + std::to_string(fresh) + ",\"known\":" + std::to_string(counts_.known) +
           ",\"waived\":" + std::to_string(counts_.waived) + ",\"outside\":" + std::to_string(counts_.outside) +
           ",\"excluded\":" + std::to_string(excluded_) + ",\"stale\":" + std::to_string(staleCount) + "}\n");
    const bool failed = std::ferror(jsonLines_) != 0;
    const bool closed = std::fclose(jsonLines_) == 0;
    jsonLines_ = nullptr;
    if (failed || !closed) {
      Say("cannot write " + options_.jsonLines + ": " + std::strerror(errno));
      return 2;
    }
  }
  if (options_.quiet) {
    if (fresh > 0) Say(std::to_string(fresh) + " " + word + "(s)");
  } else {
    Say(fresh > 0 ? std::to_string(fresh) + " " + word + "(s)" : "no " + word + "s");
    std::vector<std::string> parts;
    if (baseline_ != nullptr) parts.push_back(std::to_string(counts_.known) + " known (in the baseline)");
    if (counts_.waived > 0) parts.push_back(std::to_string(counts_.waived) + " waived");
    if (!options_.excludes.empty())
      parts.push_back(Plural(excluded_, " excluded file or folder", " excluded files and folders"));
    if (changes_ != nullptr) {
      parts.push_back(std::to_string(counts_.outside) + " outside the lines changed since " + options_.changedSince);
    }
    if (!parts.empty()) {
      std::string line = "not reported: ";
      for (std::size_t i = 0; i < parts.size(); ++i) line.append(i > 0 ? ", " : "").append(parts[i]);
      Say(line);
    }
    if (staleCount > 0) {
      const std::string hint = !options_.writeBaseline.empty() ? "; dropped by this --write-baseline"
                               : options_.updateBaseline       ? "; dropped by this --update-baseline"
                                                         : "; drop them with --update-baseline " + options_.baseline;
      Say(Plural(staleCount, " stale baseline entry", " stale baseline entries") + " (no longer reported" + hint +
          "):");
      std::uint64_t shownCount = 0;
      for (std::size_t i = 0; i < stale_.size() && i < kStaleShown; ++i) {
        const StaleEntry& entry = stale_[i];
        errors_.Write("  " + entry.key + ": " + entry.message +
                      (entry.count > 1 ? " (" + std::to_string(entry.count) + " times)" : "") + "\n");
        shownCount += entry.count;
      }
      if (staleCount > shownCount) errors_.Write("  ...\n");
    }
  }
  if (!failures_.empty()) {
    if (writer_ != nullptr) {
      Say("baseline " + (options_.updateBaseline ? options_.baseline : options_.writeBaseline) +
          " not written: a run did not complete");
    }
    return 2;
  }
  if (writer_ != nullptr) {
    if (options_.updateBaseline) {
      // The paths the run did not look at keep their entries as they are.
      for (const std::string& key : baseline_->Paths()) {
        if (taken_.count(key) == 0 && !Covered(key)) writer_->Keep(key);
      }
    }
    std::uint64_t entries = 0;
    std::uint64_t violations = 0;
    std::string error;
    if (!writer_->Write(baseline_.get(), entries, violations, error)) {
      Say(error);
      return 2;
    }
    if (!options_.quiet) {
      Say("baseline " +
          (options_.updateBaseline ? options_.baseline + " updated: " : options_.writeBaseline + " written: ") +
          Plural(entries, " entry", " entries") + " for " + std::to_string(violations) + " violation(s)");
    }
    if (!options_.updateBaseline) return 0;
  }
  return fresh > 0 ? 1 : 0;
}

int Gate::Run() {
  if (!Prepare()) return 2;
  WantEntries();
  if (!options_.listing.empty()) {
    ClassifyListing();
  } else {
    if (!ResolveRoots()) return 2;
    CheckRoots();
  }
  if (baseline_ != nullptr && changes_ == nullptr && failures_.empty()) {
    FindStale();  // a listing's roots are its "Searching for rule violations in" lines
    std::stable_sort(stale_.begin(), stale_.end(),
                     [](const StaleEntry& a, const StaleEntry& b) { return a.key < b.key; });
    for (const StaleEntry& entry : stale_) {
      Record("{\"kind\":\"stale\",\"key\":" + JsonText(entry.key) + ",\"message\":" + JsonText(entry.message) +
             ",\"count\":" + std::to_string(entry.count) + "}\n");
    }
  } else {
    stale_.clear();
  }
  return Summarize();
}

}  // namespace

int RunGate(int argc, char** argv, OutputStream& out, OutputStream& errors, const FileSystem& files) {
  GateOptions options;
  std::string error;
  if (!ParseGateOptions(argc, argv, options, error)) {
    errors.Write(std::string(kGateHelp, std::strstr(kGateHelp, "\n\n") - kGateHelp + 1));
    errors.WriteLine("skerry-lint-gate: error: " + error);
    return 2;
  }
  if (options.help) {
    out.Write(kGateHelp);
    return 0;
  }
  Gate gate(options, argc > 0 ? argv[0] : nullptr, out, errors, files);
  return gate.Run();
}

}  // namespace skerry
