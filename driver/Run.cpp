#include "driver/Run.h"

#include <boost/filesystem/path.hpp>
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
  void OnNotice(const WalkNotice& notice) override { out_.WriteLine(NoticeLine(notice)); }
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

int ArgumentError(const std::string& argument, OutputStream& out) {
  out.WriteLine("argument error :" + argument + " is no dir or file!");
  PrintUsage(out);
  return 1;
}

}  // namespace

int RunChecker(int argc, char** argv, OutputStream& out, const FileSystem& files) {
  PrintVersionBanner(argc > 0 ? argv[0] : nullptr, out);

  fs::path root;
  bool singleFile = false;
  if (argc <= 1) {
    if (!files.CurrentDirectory(root)) return ArgumentError(".", out);
  } else {
    const std::string argument = argv[argc - 1];
    root = fs::path(argument);
    // Not found, access denied on a parent, a device: no path to check.
    const PathStatus::Type type = files.Stat(root).type;
    if (type == PathStatus::Type::kRegular) {
      singleFile = true;
    } else if (type != PathStatus::Type::kDirectory) {
      return ArgumentError(argument, out);
    }
  }

  out.WriteLine(std::string("BUILD: ") + BuildDate());
  out.WriteLine("Searching for rule violations in : " + QuotedForm(root));

  ListingSink sink(out);
  try {
    if (singleFile) {
      FileReport report = CheckSourceFile(root, files, sink.Spill());
      sink.OnReport(report);
    } else {
      CheckTree(root, CheckingThreads(), sink, files, sink.Spill());
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
