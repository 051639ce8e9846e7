// The gate: the checker's rules over a set of paths, with the diagnostics a
// team has accepted (baseline), waived, excluded or left outside the lines a
// branch changed taken out, and an exit code that fails on the rest.
#ifndef SKERRY_GATE_GATE_RUN_H
#define SKERRY_GATE_GATE_RUN_H

#include "driver/FileSystem.h"
#include "report/OutputStream.h"

namespace skerry {

// The whole gate run: the checker's output with the diagnostics that are
// left to out, the summary to errors. Returns the exit code: 0 when no (new)
// violation is left, 1 when some are, 2 for a usage error, a path that does
// not exist, a baseline that cannot be read or written, a git failure or a
// run that did not complete. Checks are made before anything is written to
// out. A failed write to out throws OutputFailure.
int RunGate(int argc, char** argv, OutputStream& out, OutputStream& errors, const FileSystem& files);

}  // namespace skerry

#endif
