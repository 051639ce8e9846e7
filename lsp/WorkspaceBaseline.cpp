#include "lsp/WorkspaceBaseline.h"

#include <boost/filesystem.hpp>

#include "gate/PathKey.h"

namespace skerry::lsp {

namespace fs = boost::filesystem;

namespace {

// A path with links resolved, normalised; the normalised text when it
// cannot be resolved (the gate keys files the same way).
std::string RealPath(const std::string& path) {
  boost::system::error_code code;
  const fs::path real = fs::canonical(fs::path(path), code);
  return NormalizedPath(code ? path : real.string());
}

// A file's real path: its folder's, and its own name.
std::string RealFilePath(const std::string& path) {
  const fs::path file(path);
  return JoinKey(RealPath(file.parent_path().string()), file.filename().string());
}

}  // namespace

void WorkspaceBaseline::Configure(const std::string& root, const std::string& file) {
  std::lock_guard<std::mutex> lock(mutex_);
  baseline_.reset();
  tried_ = false;
  required_ = !file.empty();
  file_.clear();
  if (file.empty() && root.empty()) return;
  fs::path chosen(file.empty() ? kBaselineFileName : file);
  if (!chosen.is_absolute() && !root.empty()) chosen = fs::path(root) / chosen;
  file_ = chosen.string();
  folder_ = RealPath(chosen.parent_path().string());
}

bool WorkspaceBaseline::EntriesFor(const std::string& path, BaselineEntryViews& entries, std::string& key,
                                   std::string& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (file_.empty() || path.empty()) return false;
  boost::system::error_code code;
  const std::time_t time = fs::last_write_time(fs::path(file_), code);
  if (code) {
    if (required_ && !tried_) error = file_ + ": " + code.message();
    tried_ = true;
    baseline_.reset();
    return false;
  }
  const std::uintmax_t size = fs::file_size(fs::path(file_), code);
  if (!tried_ || time != loadedTime_ || size != loadedSize_) {
    tried_ = true;
    loadedTime_ = time;
    loadedSize_ = size;
    baseline_ = std::make_unique<Baseline>();
    if (!baseline_->Load(file_, error)) baseline_.reset();
  }
  if (!baseline_) return false;
  key = KeyBelow(RealFilePath(path), folder_);
  baseline_->ReadEntries(key, entries);
  return true;
}

}  // namespace skerry::lsp
