#include "driver/AllocatorTuning.h"
#include "driver/ConsoleOutput.h"
#include "driver/FileSystem.h"
#include "driver/Run.h"

int main(int argc, char** argv) {
  skerry::TuneAllocator();
  skerry::StandardOutput out;
  const skerry::DiskFileSystem disk;
  return skerry::RunReportingFailures(out, out,
                                      "run aborted : ", [&] { return skerry::RunChecker(argc, argv, out, disk); });
}
