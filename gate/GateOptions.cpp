#include "gate/GateOptions.h"

#include <cstdlib>
#include <cstring>

namespace skerry {

const char kGateHelp[] =
    "usage: skerry-lint-gate [-h] [--baseline FILE] [--write-baseline FILE | --update-baseline FILE]\n"
    "                        [--changed-since REF] [--exclude GLOB] [--jsonl FILE] [--quiet]\n"
    "                        [--listing FILE] [-j N] [PATH ...]\n"
    "\n"
    "Checks each PATH (default \".\") with Skerry_Lint's rules in one run, prints the\n"
    "checker's output with the diagnostics left out that the filters remove, writes a\n"
    "summary to standard error and fails on naming violations. Filters, in this order:\n"
    "--exclude; waivers: a comment holding \"skerry-lint: allow\" on the flagged line,\n"
    "\"skerry-lint: allow-next-line\" on the line above it, \"skerry-lint: allow-file-name\"\n"
    "on a file's first line for its file name (line 0); --changed-since; --baseline.\n"
    "\n"
    "positional arguments:\n"
    "  PATH                  file or folder to check (default: .)\n"
    "\n"
    "options:\n"
    "  -h, --help            show this help message and exit\n"
    "  --baseline FILE       fail only on violations not recorded in FILE; report its\n"
    "                        stale entries\n"
    "  --write-baseline FILE record every violation of this run in FILE (atomically)\n"
    "                        and exit 0\n"
    "  --update-baseline FILE\n"
    "                        use FILE as the baseline and rewrite it without the\n"
    "                        entries that are fixed (it never gains one); new\n"
    "                        violations still fail\n"
    "  --changed-since REF   keep only diagnostics on lines the branch added since its\n"
    "                        merge base with the git revision REF (A...B: since the\n"
    "                        merge base of A and B), staged, unstaged and untracked\n"
    "                        changes included\n"
    "  --exclude GLOB        leave out paths that match GLOB (repeatable), without\n"
    "                        reading them: with \"/\" matched from the start of the path,\n"
    "                        otherwise against any name; \"**\" crosses folders\n"
    "  --jsonl FILE          write every diagnostic with its status (new, known, waived,\n"
    "                        outside), the excluded paths and the stale entries to\n"
    "                        FILE as JSON Lines\n"
    "  --quiet               print only the violations that are left, and one summary\n"
    "                        line when there are any\n"
    "  --listing FILE        classify the diagnostics of a saved Skerry_Lint output\n"
    "                        (\"-\": standard input) instead of checking PATHs\n"
    "  -j N, --jobs N        check with N threads (default: one per processor)\n"
    "\n"
    "exit codes:\n"
    "  0  the runs completed and no (new) violation is left\n"
    "  1  the runs completed and new violations are left\n"
    "  2  a run did not complete, usage error, a path that does not exist, baseline\n"
    "     not readable or writable, git failure\n"
    "\n"
    "examples:\n"
    "  skerry-lint-gate --write-baseline skerry-lint.baseline .\n"
    "  skerry-lint-gate --baseline skerry-lint.baseline .\n"
    "  skerry-lint-gate --update-baseline skerry-lint.baseline .\n"
    "  skerry-lint-gate --changed-since origin/main --exclude 'third_party/**' src\n"
    "\n"
    "See skerry-lint-gate(1).\n";

bool ParseGateOptions(int argc, char** argv, GateOptions& options, std::string& error) {
  bool onlyPaths = false;
  std::string update;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (onlyPaths || argument.empty() || argument[0] != '-' || argument == "-") {
      options.paths.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyPaths = true;
      continue;
    }
    if (argument == "-h" || argument == "--help") {
      options.help = true;
      return true;
    }
    if (argument == "--quiet" || argument == "-q") {
      options.quiet = true;
      continue;
    }
    // Options with a value: "--name VALUE", "--name=VALUE", "-jN".
    std::string name = argument;
    std::string value;
    bool hasValue = false;
    const std::size_t equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    } else if (argument.compare(0, 2, "-j") == 0 && argument.size() > 2) {
      name = "-j";
      value = argument.substr(2);
      hasValue = true;
    }
    static const char* const kWithValue[] = {"--baseline", "--write-baseline", "--update-baseline", "--changed-since",
                                             "--exclude",  "--jsonl",          "--listing",         "-j",
                                             "--jobs"};
    bool known = false;
    for (const char* option : kWithValue) known = known || name == option;
    if (!known) {
      error = "unrecognized arguments: " + argument;
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        error = "argument " + name + ": expected one argument";
        return false;
      }
      value = argv[++i];
    }
    if (name == "--baseline") {
      options.baseline = value;
    } else if (name == "--write-baseline") {
      options.writeBaseline = value;
    } else if (name == "--update-baseline") {
      update = value;
    } else if (name == "--changed-since") {
      options.changedSince = value;
    } else if (name == "--exclude") {
      options.excludes.push_back(value);
    } else if (name == "--jsonl") {
      options.jsonLines = value;
    } else if (name == "--listing") {
      options.listing = value;
    } else {
      char* end = nullptr;
      const long jobs = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || jobs < 1 || jobs > 1024) {
        error = "argument -j/--jobs: must be a whole number from 1 to 1024, not '" + value + "'";
        return false;
      }
      options.jobs = static_cast<unsigned>(jobs);
    }
  }
  if (!update.empty()) {
    if (!options.writeBaseline.empty()) {
      error = "--update-baseline cannot be combined with --write-baseline";
      return false;
    }
    if (!options.baseline.empty() && options.baseline != update) {
      error = "--update-baseline FILE reads FILE as the baseline; it cannot be combined with another --baseline";
      return false;
    }
    options.baseline = update;
    options.updateBaseline = true;
  }
  if ((!options.writeBaseline.empty() || options.updateBaseline) && !options.changedSince.empty()) {
    error = std::string(options.updateBaseline ? "--update-baseline" : "--write-baseline") +
            " cannot be combined with --changed-since (a baseline of the changed lines only would drop every "
            "other entry)";
    return false;
  }
  if (!options.listing.empty() && !options.paths.empty()) {
    error = "--listing classifies a saved output; it takes no PATH";
    return false;
  }
  if (options.paths.empty()) options.paths.push_back(".");
  return true;
}

}  // namespace skerry
