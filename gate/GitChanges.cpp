#include "gate/GitChanges.h"

#include <algorithm>
#include <boost/filesystem/operations.hpp>
#include <cstdlib>

#include "driver/Subprocess.h"
#include "gate/PathKey.h"

namespace skerry {

namespace fs = boost::filesystem;

bool FileChange::Covers(int32_t line) const {
  if (whole || (line == 0 && name)) return true;
  auto after = std::upper_bound(lines.begin(), lines.end(), std::make_pair(line, INT32_MAX));
  return after != lines.begin() && line < std::prev(after)->second;
}

namespace {

// Runs git with arguments in folder; false with "git ARG failed: LAST LINE"
// (or why it could not run) in error.
bool Git(std::vector<std::string> arguments, const std::string& folder, std::string& output, std::string& error) {
  const std::string verb = arguments.front();
  arguments.insert(arguments.begin(), {"git", "-c", "core.quotePath=false"});
  CommandResult result = RunCommand(arguments, folder);
  if (!result.started) {
    error = "cannot run git: " + result.failure;
    return false;
  }
  if (result.exitCode != 0) {
    std::string detail = result.errors;
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r')) detail.pop_back();
    detail = detail.substr(detail.rfind('\n') == std::string::npos ? 0 : detail.rfind('\n') + 1);
    error = "git " + verb + " failed: " + (detail.empty() ? "exit code " + std::to_string(result.exitCode) : detail);
    return false;
  }
  output = std::move(result.output);
  return true;
}

std::string Chomp(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::string RealFolder(const std::string& folder) {
  boost::system::error_code code;
  fs::path real = fs::canonical(fs::path(folder), code);
  return NormalizedPath(code ? folder : real.string());
}

std::vector<std::string> SplitNul(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\0', at);
    if (end == std::string::npos) end = text.size();
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

// Calls visit(letter, old, new) for each entry of "git diff -z --name-status".
template <class Visit>
void ForEachStatus(const std::string& listing, Visit&& visit) {
  const std::vector<std::string> parts = SplitNul(listing);
  for (std::size_t i = 0; i < parts.size() && !parts[i].empty();) {
    const char letter = parts[i][0];
    if ((letter == 'R' || letter == 'C') && i + 2 < parts.size()) {
      visit(letter, parts[i + 1], parts[i + 2]);
      i += 3;
    } else if (i + 1 < parts.size()) {
      visit(letter, parts[i + 1], parts[i + 1]);
      i += 2;
    } else {
      break;
    }
  }
}

}  // namespace

std::string UnquoteGitPath(std::string text) {
  if (text.empty() || text.front() != '"') {
    if (!text.empty() && text.back() == '\t') text.pop_back();
    return text;
  }
  const std::size_t close = text.rfind('"');
  std::string body = close > 0 ? text.substr(1, close - 1) : text.substr(1);
  std::string plain;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '\\' || i + 1 == body.size()) {
      plain.push_back(body[i]);
      continue;
    }
    const char c = body[++i];
    if (c >= '0' && c <= '7' && i + 2 < body.size() + 0 && body[i + 1] >= '0' && body[i + 1] <= '7' &&
        body[i + 2] >= '0' && body[i + 2] <= '7') {
      plain.push_back(static_cast<char>((c - '0') * 64 + (body[i + 1] - '0') * 8 + (body[i + 2] - '0')));
      i += 2;
      continue;
    }
    switch (c) {
      case 'n':
        plain.push_back('\n');
        break;
      case 't':
        plain.push_back('\t');
        break;
      case 'a':
        plain.push_back('\a');
        break;
      case 'b':
        plain.push_back('\b');
        break;
      case 'f':
        plain.push_back('\f');
        break;
      case 'r':
        plain.push_back('\r');
        break;
      case 'v':
        plain.push_back('\v');
        break;
      default:
        plain.push_back(c);
    }
  }
  return plain;
}

bool ChangedLines::Load(const std::string& ref, const std::string& folder, std::string& error) {
  CommandResult inside = RunCommand({"git", "rev-parse", "--is-inside-work-tree"}, folder);
  if (!inside.started) {
    error = "--changed-since needs git: " + inside.failure;
    return false;
  }
  if (inside.exitCode != 0 || Chomp(inside.output) != "true") {
    error = "--changed-since needs a git work tree; " + folder + " is not in one";
    return false;
  }
  std::string output;
  if (!Git({"rev-parse", "--show-toplevel"}, folder, output, error)) return false;
  top_ = RealFolder(Chomp(output));

  // "A...B": what B added since it left A; a plain REF: what HEAD added.
  std::string left = ref;
  std::string right = "HEAD";
  const std::size_t dots = ref.find("...");
  if (dots != std::string::npos) {
    left = ref.substr(0, dots).empty() ? "HEAD" : ref.substr(0, dots);
    right = ref.substr(dots + 3).empty() ? "HEAD" : ref.substr(dots + 3);
  }
  std::string commits[2];
  const std::string* names[2] = {&left, &right};
  for (int i = 0; i < 2; ++i) {
    CommandResult resolved =
        RunCommand({"git", "rev-parse", "--verify", "--quiet", "--end-of-options", *names[i] + "^{commit}"}, top_);
    if (!resolved.started || resolved.exitCode != 0) {
      error = "--changed-since: unknown git revision '" + *names[i] + "'";
      return false;
    }
    commits[i] = Chomp(resolved.output);
  }
  CommandResult base = RunCommand({"git", "merge-base", commits[0], commits[1]}, top_);
  if (!base.started || base.exitCode != 0) {
    error = "--changed-since: " + left + " and " + right + " have no common history (no merge base)";
    return false;
  }
  const std::string commit = Chomp(base.output);

  auto key = [this](const std::string& relative) { return NormalizedPath(JoinKey(top_, relative)); };
  std::string listing;
  if (!Git({"diff", "-z", "--name-status", "-M", "--no-ext-diff", commit, "--"}, top_, listing, error)) return false;
  ForEachStatus(listing, [&](char letter, const std::string&, const std::string& now) {
    if (letter == 'R' || letter == 'C') files_[key(now)].name = true;
    if (letter == 'A') {
      FileChange& change = files_[key(now)];
      change.name = change.whole = true;
    }
  });
  std::string patch;
  if (!Git({"diff", "--unified=0", "--no-color", "--no-ext-diff", "--no-textconv", "-M", "--src-prefix=a/",
            "--dst-prefix=b/", commit, "--"},
           top_, patch, error)) {
    return false;
  }
  FileChange* current = nullptr;
  std::size_t at = 0;
  while (at < patch.size()) {
    std::size_t end = patch.find('\n', at);
    if (end == std::string::npos) end = patch.size();
    const std::string line = patch.substr(at, end - at);
    at = end + 1;
    if (line.compare(0, 4, "+++ ") == 0) {
      const std::string name = UnquoteGitPath(line.substr(4));
      current = name.compare(0, 2, "b/") == 0 ? &files_[key(name.substr(2))] : nullptr;
    } else if (line.compare(0, 3, "@@ ") == 0 && current != nullptr) {
      // "@@ -a[,b] +c[,d] @@": d lines from c on are new (d is 1 when left out).
      const std::size_t plus = line.find(" +");
      if (plus == std::string::npos) continue;
      char* rest = nullptr;
      const long start = std::strtol(line.c_str() + plus + 2, &rest, 10);
      long count = 1;
      if (rest != nullptr && *rest == ',') count = std::strtol(rest + 1, nullptr, 10);
      if (count > 0) current->lines.emplace_back(static_cast<int32_t>(start), static_cast<int32_t>(start + count));
    } else if (line.compare(0, 5, "diff ") == 0) {
      current = nullptr;
    }
  }
  for (auto& file : files_) std::sort(file.second.lines.begin(), file.second.lines.end());
  std::string untracked;
  if (!Git({"ls-files", "-z", "--others", "--exclude-standard"}, top_, untracked, error)) return false;
  for (const std::string& name : SplitNul(untracked)) {
    if (name.empty()) continue;
    FileChange& change = files_[key(name)];
    change.name = change.whole = true;
  }
  return true;
}

const FileChange* ChangedLines::Of(const std::string& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : &found->second;
}

std::vector<std::pair<std::string, std::string>> MovesSinceCommitOf(const std::string& baseline) {
  std::vector<std::pair<std::string, std::string>> moves;
  const fs::path file(baseline);
  const std::string folder = file.has_parent_path() ? file.parent_path().string() : std::string(".");
  std::string output;
  std::string error;
  if (!Git({"rev-parse", "--show-toplevel"}, folder, output, error)) return moves;
  const std::string top = RealFolder(Chomp(output));
  if (!Git({"log", "-1", "--format=%H", "--", file.filename().string()}, folder, output, error)) return moves;
  const std::string commit = Chomp(output);
  if (commit.empty()) return moves;
  if (!Git({"diff", "-z", "--name-status", "-M", "--no-ext-diff", commit, "--"}, top, output, error)) return moves;
  ForEachStatus(output, [&](char letter, const std::string& before, const std::string& now) {
    if (letter == 'R') moves.emplace_back(NormalizedPath(JoinKey(top, before)), NormalizedPath(JoinKey(top, now)));
  });
  return moves;
}

}  // namespace skerry
