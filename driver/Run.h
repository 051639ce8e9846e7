#ifndef SKERRY_DRIVER_RUN_H
#define SKERRY_DRIVER_RUN_H

#include "driver/FileSystem.h"
#include "report/OutputStream.h"

namespace skerry {

/// The whole run, written to out: banner, choice of the scan root, the scan,
/// the listing of the diagnostics. Returns the exit code: 0 after a completed
/// run, 1 after an argument error, 2 after a run aborted during the scan (out
/// of memory, most likely), whose listing then holds the diagnostics found
/// so far and ends with "run aborted : REASON". A failed write throws
/// OutputFailure. Everything is read through files (RunSpineTest runs it on
/// files in memory; ReliabilityTest on the disk).
int RunChecker(int argc, char** argv, OutputStream& out, const FileSystem& files);

}  // namespace skerry

#endif
