// Running another program (git) and collecting what it writes.
#ifndef SKERRY_DRIVER_SUBPROCESS_H
#define SKERRY_DRIVER_SUBPROCESS_H

#include <string>
#include <vector>

namespace skerry {

struct CommandResult {
  bool started = false;  // false: the program could not be run (failure says why)
  std::string failure;
  int exitCode = -1;  // the exit code, or -1 when it was ended by a signal
  std::string output;
  std::string errors;
};

// Runs arguments[0], looked for on PATH, with the other arguments, in
// folder (the current folder when empty), with nothing on its standard
// input, and waits for it to end.
CommandResult RunCommand(const std::vector<std::string>& arguments, const std::string& folder = std::string());

}  // namespace skerry

#endif
