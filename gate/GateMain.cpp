#include "driver/ConsoleOutput.h"
#include "driver/FileSystem.h"
#include "gate/GateRun.h"

// The C library's allocator keeps its own settings here: the gate stays
// well within its memory bound without the checker's cap, and with it the
// gate's larger buffers (a file's baseline entries) made --write-baseline on
// the Linux kernel about 40 % slower.
int main(int argc, char** argv) {
  skerry::StandardOutput out;
  skerry::StandardOutput errors(2);
  const skerry::DiskFileSystem disk;
  return skerry::RunReportingFailures(
      out, errors, "skerry-lint-gate: run aborted : ", [&] { return skerry::RunGate(argc, argv, out, errors, disk); });
}
