#include "driver/FilePairing.h"

#include <boost/filesystem/operations.hpp>
#include <charconv>

#include "analysis/FileCheck.h"
#include "analysis/PatternTable.h"
#include "driver/ConsoleOutput.h"
#include "driver/SourceLineLoader.h"

namespace skerry {

namespace fs = boost::filesystem;

FileReport CheckSourceFile(const fs::path& path) {
  FileReport report;
  const std::string pathText = path.string();
  MatchGroups groups;
  if (!SourceFilePattern.Search(pathText, groups)) return report;
  std::string companionText(groups[1]);
  companionText.push_back('h');
  const fs::path companion(companionText);

  report.console = "Reading File : " + QuotedForm(path.filename());
  SourceLines fileLines;
  if (LoadSourceLines(fileLines, path)) {
    char number[16];
    auto result = std::to_chars(number, number + sizeof number, fileLines.Count());
    report.console.append(" size: ").append(number, result.ptr).append(" lines\n");
  }

  SourceLines headerLines;
  if (companionText != pathText) {
    boost::system::error_code error;
    if (fs::is_regular_file(fs::status(companion, error))) LoadSourceLines(headerLines, companion);
  }

  CheckFileConventions(fileLines, path.filename().string(), pathText, headerLines, report.diagnostics);
  return report;
}

}  // namespace skerry
