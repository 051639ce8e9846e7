#include <cerrno>
#include <cstring>
#include <exception>
#include <string>

#include "driver/AllocatorTuning.h"
#include "driver/ConsoleOutput.h"
#include "driver/FileSystem.h"
#include "driver/Run.h"

int main(int argc, char** argv) {
  skerry::TuneAllocator();
  skerry::StandardOutput out;
  const skerry::DiskFileSystem disk;
  try {
    if (!skerry::PrepareStandardStreams()) throw skerry::OutputFailure(std::strerror(EBADF));
    int exitCode;
    try {
      exitCode = skerry::RunChecker(argc, argv, out, disk);
    } catch (const skerry::OutputFailure&) {
      throw;
    } catch (const std::exception& failure) {
      // A failure before the scan began (or while the listing is written):
      // say so rather than end without a word, and never report the run as
      // completed.
      out.WriteLine(std::string("run aborted : ") + failure.what());
      exitCode = 2;
    }
    out.Close();
    return exitCode;
  } catch (const skerry::OutputFailure& failure) {
    // The report is lost or cut: a failed run, said where it can be seen.
    skerry::ReportOutputFailure(failure.what());
    return 2;
  }
}
