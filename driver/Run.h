#ifndef SKERRY_DRIVER_RUN_H
#define SKERRY_DRIVER_RUN_H

#include "report/OutputStream.h"

namespace skerry {

/// The whole run, written to out: banner, choice of the scan root, the scan,
/// the listing of the diagnostics. Returns the exit code: 0 after a completed
/// run, 1 after an argument error, 2 after a run aborted during the scan (out
/// of memory, most likely), whose listing then holds the diagnostics found
/// so far and ends with "run aborted : REASON". A failed write throws
/// OutputFailure (RunSpineTest, ReliabilityTest).
int RunChecker(int argc, char** argv, OutputStream& out);

}  // namespace skerry

#endif
