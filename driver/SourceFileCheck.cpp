#include "driver/SourceFileCheck.h"

#include <charconv>
#include <string>
#include <utility>

#include "analysis/FileCheck.h"
#include "driver/ConsoleOutput.h"

namespace skerry {

namespace fs = boost::filesystem;

// SourceFilePattern, "(^.*[.])[ch]$" (case-insensitive), is meant to accept
// exactly the texts that end in a dot and c or h. Its "." does not cross a
// line feed or carriage return, so a path holding one (a legal file name)
// would be skipped without a word; the ending is therefore tested by hand,
// and group 1 is the text without its last character.
bool IsSourceFileText(const std::string& text) {
  if (text.size() < 2 || text[text.size() - 2] != '.') return false;
  char last = text.back();
  return last == 'c' || last == 'C' || last == 'h' || last == 'H';
}

namespace {

// Reads the file at path into lines; false when it cannot be read.
bool LoadSourceLines(SourceLines& lines, const fs::path& path, const FileSystem& files) {
  std::string bytes;
  if (!files.ReadFile(path, bytes)) return false;
  lines = SourceLines::FromBytes(std::move(bytes));
  return true;
}

}  // namespace

FileReport CheckSourceFile(const fs::path& path, const FileSystem& files, SpillFile* spill, SourceLines* keepLines,
                           std::size_t memoryBound) {
  FileReport report{std::string(), DiagnosticList(spill, memoryBound), nullptr};
  const std::string pathText = path.string();
  if (!IsSourceFileText(pathText)) return report;
  std::string companionText(pathText, 0, pathText.size() - 1);
  companionText.push_back('h');
  const fs::path companion(companionText);

  report.console = "Reading File : " + QuotedForm(path.filename());
  SourceLines fileLines;
  if (LoadSourceLines(fileLines, path, files)) {
    char number[16];
    auto result = std::to_chars(number, number + sizeof number, fileLines.Count());
    report.console.append(" size: ").append(number, result.ptr).append(" lines\n");
  }

  SourceLines headerLines;
  if (companionText != pathText) {
    if (files.Stat(companion).type == PathStatus::Type::kRegular) LoadSourceLines(headerLines, companion, files);
  }

  CheckFileConventions(fileLines, path.filename().string(), pathText, headerLines, report.diagnostics);
  if (keepLines != nullptr) *keepLines = std::move(fileLines);
  return report;
}

}  // namespace skerry
