// The command line of skerry-lint-gate.
#ifndef SKERRY_GATE_GATE_OPTIONS_H
#define SKERRY_GATE_GATE_OPTIONS_H

#include <string>
#include <vector>

namespace skerry {

struct GateOptions {
  std::vector<std::string> paths;  // "." when none is given
  std::string baseline;            // --baseline, or the file of --update-baseline
  std::string writeBaseline;       // --write-baseline
  bool updateBaseline = false;     // --update-baseline: baseline is rewritten, never added to
  std::string changedSince;        // --changed-since
  std::vector<std::string> excludes;
  std::string jsonLines;  // --jsonl
  std::string listing;    // --listing: a saved checker output to classify instead of a tree
  bool quiet = false;
  unsigned jobs = 0;  // 0: one thread per processor
  bool help = false;
};

// Reads the arguments after the program name. false with a message for the
// user in error (a usage error).
bool ParseGateOptions(int argc, char** argv, GateOptions& options, std::string& error);

// The text of --help.
extern const char kGateHelp[];

}  // namespace skerry

#endif
