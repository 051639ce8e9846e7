#ifndef SKERRY_DRIVER_RUN_SEQUENCE_H
#define SKERRY_DRIVER_RUN_SEQUENCE_H

namespace skerry {

// The whole run: banner, choice of the scan root, the scan, the final
// listing. Returns the exit code: 0 after a completed run, 1 after an
// argument error.
int RunChecker(int argc, char** argv);

}  // namespace skerry

#endif
