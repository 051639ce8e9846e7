#include "driver/Run.h"

#include <boost/filesystem/operations.hpp>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <exception>
#include <string>
#include <utility>

#include "driver/ConsoleOutput.h"
#include "driver/SourceFileCheck.h"
#include "driver/TreeCheck.h"
#include "driver/Usage.h"
#include "driver/VersionBanner.h"
#include "report/Diagnostics.h"

namespace skerry {

namespace fs = boost::filesystem;

namespace {

// Progress lines and notices go out as they come, in walk order; the
// diagnostics are kept for the end.
class ListingSink : public TreeCheckSink {
 public:
  explicit ListingSink(OutputStream& out) : out_(out) {}
  void OnReport(FileReport& report) override {
    if (!report.console.empty()) out_.Write(report.console);
    listing_.AppendAll(std::move(report.diagnostics));
  }
  void OnNotice(const std::string& line) override { out_.WriteLine(line); }
  SpillFile* Spill() { return listing_.Spill(); }
  // The empty line and the diagnostics.
  void WriteListing() {
    out_.Write("\n");
    listing_.Write(out_);
  }

 private:
  OutputStream& out_;
  DiagnosticListing listing_;
};

// glibc raises the size from which a buffer gets its own mapping to the
// largest buffer freed so far, so that after the first large file the
// buffers of files come from the heaps of the threads that check them and
// stay there when they are freed. A fixed size keeps every buffer of 1 MiB
// or more mapped and returns it when it is freed, so that the peak memory of
// a run stays near its diagnostics plus the files being checked.
//
// Without fast bins, small blocks (the names of a file's records, freed
// together when its check ends) are merged as they are freed; with them,
// every large free after a file merges all of them in one go, which cost
// about 5 % of the time on trees made mostly of #define lines.
void TuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_MXFAST, 0);
#endif
}

int ArgumentError(const std::string& argument, OutputStream& out) {
  out.WriteLine("argument error :" + argument + " is no dir or file!");
  PrintUsage(out);
  return 1;
}

}  // namespace

int RunChecker(int argc, char** argv, OutputStream& out) {
  TuneAllocator();
  PrintVersionBanner(argc > 0 ? argv[0] : nullptr, out);

  fs::path root;
  bool singleFile = false;
  if (argc <= 1) {
    boost::system::error_code error;
    root = fs::current_path(error);
    if (error) return ArgumentError(".", out);
  } else {
    const std::string argument = argv[argc - 1];
    root = fs::path(argument);
    boost::system::error_code error;
    fs::file_status status = fs::status(root, error);
    if (error) return ArgumentError(argument, out);  // access denied on a parent, for instance
    if (fs::is_regular_file(status)) {
      singleFile = true;
    } else if (!fs::is_directory(status)) {
      return ArgumentError(argument, out);
    }
  }

  out.WriteLine(std::string("BUILD: ") + BuildDate());
  out.WriteLine("Searching for rule violations in : " + QuotedForm(root));

  ListingSink sink(out);
  try {
    if (singleFile) {
      FileReport report = CheckSourceFile(root, sink.Spill());
      sink.OnReport(report);
    } else {
      CheckTree(root, CheckingThreads(), sink, sink.Spill());
    }
  } catch (const OutputFailure&) {
    throw;
  } catch (const std::exception& failure) {
    // Out of memory, most likely: what was found so far is written, and the
    // run is not reported as completed.
    sink.WriteListing();
    out.WriteLine(std::string("run aborted : ") + failure.what());
    return 2;
  }
  sink.WriteListing();
  out.WriteLine("Operation Finsh");
  return 0;
}

}  // namespace skerry
