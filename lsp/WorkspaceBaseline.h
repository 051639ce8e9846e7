// The gate's baseline as the language server uses it: a file at the
// workspace root, or one the client names, whose entries hide known
// violations. Read again when the file changes.
#ifndef SKERRY_LSP_WORKSPACE_BASELINE_H
#define SKERRY_LSP_WORKSPACE_BASELINE_H

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>

#include "gate/Baseline.h"

namespace skerry::lsp {

// The name looked for at the workspace root.
constexpr const char* kBaselineFileName = "skerry-lint.baseline";

class WorkspaceBaseline {
 public:
  // file: the baseline named by the client (relative to root when not
  // absolute), or empty for root/skerry-lint.baseline. A file named by the
  // client must exist; the default one may be missing.
  void Configure(const std::string& root, const std::string& file);

  // The entries for the document at path (absolute), and its key: the path
  // relative to the baseline's folder with "/" between names, as the gate
  // writes it. Nothing when there is no baseline. error is set (once per
  // change of the file) when the baseline cannot be read.
  bool EntriesFor(const std::string& path, BaselineEntryViews& entries, std::string& key, std::string& error);

 private:
  std::mutex mutex_;
  std::string file_;    // empty: none
  std::string folder_;  // the baseline's folder, real and normalised
  bool required_ = false;
  std::time_t loadedTime_ = 0;  // with the size: the file as it was read
  std::uintmax_t loadedSize_ = 0;
  bool tried_ = false;
  std::unique_ptr<Baseline> baseline_;
};

}  // namespace skerry::lsp

#endif
