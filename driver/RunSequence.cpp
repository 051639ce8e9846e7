#include "driver/RunSequence.h"

#include <boost/filesystem/operations.hpp>
#include <string>

#include "driver/ConsoleOutput.h"
#include "driver/FilePairing.h"
#include "driver/TreeCheck.h"
#include "driver/Usage.h"
#include "driver/VersionBanner.h"
#include "report/Diagnostics.h"

namespace skerry {

namespace fs = boost::filesystem;

namespace {

// The diagnostics of the whole run, printed when the scan is over.
DiagnosticListing diagnosticList;

void Emit(FileReport& report) {
  if (!report.console.empty()) WriteText(report.console);
  diagnosticList.AppendAll(report.diagnostics);
}

// Progress lines and notices go out as they come, in walk order; the
// diagnostics are kept for the end.
class ListingSink : public TreeCheckSink {
 public:
  void OnReport(FileReport& report) override { Emit(report); }
  void OnNotice(const std::string& line) override { WriteLine(line); }
};

int ArgumentError(const std::string& argument) {
  WriteLine("argument error :" + argument + " is no dir or file!");
  PrintUsage();
  return 1;
}

}  // namespace

int RunChecker(int argc, char** argv) {
  PrintVersionBanner(argc > 0 ? argv[0] : nullptr);

  fs::path root;
  bool singleFile = false;
  if (argc <= 1) {
    boost::system::error_code error;
    root = fs::current_path(error);
    if (error) return ArgumentError(".");
  } else {
    const std::string argument = argv[argc - 1];
    root = fs::path(argument);
    boost::system::error_code error;
    fs::file_status status = fs::status(root, error);
    if (error) return ArgumentError(argument);  // access denied on a parent, for instance
    if (fs::is_regular_file(status)) {
      singleFile = true;
    } else if (!fs::is_directory(status)) {
      return ArgumentError(argument);
    }
  }

  WriteLine(std::string("BUILD: ") + BuildDate());
  WriteLine("Searching for rule violations in : " + QuotedForm(root));

  if (singleFile) {
    FileReport report = CheckSourceFile(root);
    Emit(report);
  } else {
    ListingSink sink;
    CheckTree(root, CheckingThreads(), sink);
  }

  WriteLine("");
  diagnosticList.Write(stdout);
  WriteLine("Operation Finsh");
  return 0;
}

}  // namespace skerry
