#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include "driver/ConsoleOutput.h"
#include "driver/FileSystem.h"
#include "gate/GateRun.h"

// The C library's allocator keeps its own settings here (the checker's
// caps its peak memory with a low mapping threshold, which costs the gate,
// with its larger buffers for a file's baseline entries, half its speed
// again; the gate stays well within its memory bound without it).
int main(int argc, char** argv) {
  skerry::StandardOutput out;
  skerry::StandardOutput errors(2);
  const skerry::DiskFileSystem disk;
  try {
    if (!skerry::PrepareStandardStreams()) throw skerry::OutputFailure(std::strerror(EBADF));
    int exitCode;
    try {
      exitCode = skerry::RunGate(argc, argv, out, errors, disk);
    } catch (const skerry::OutputFailure&) {
      throw;
    } catch (const std::exception& failure) {
      errors.WriteLine(std::string("skerry-lint-gate: run aborted : ") + failure.what());
      exitCode = 2;
    }
    out.Close();
    return exitCode;
  } catch (const skerry::OutputFailure& failure) {
    skerry::ReportOutputFailure(failure.what());
    return 2;
  }
}
