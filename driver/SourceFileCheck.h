// Deciding whether a path is a C source or header, and checking it with its
// companion header.
#ifndef SKERRY_DRIVER_SOURCE_FILE_CHECK_H
#define SKERRY_DRIVER_SOURCE_FILE_CHECK_H

#include <boost/filesystem/path.hpp>
#include <memory>
#include <string>

#include "analysis/SourceLines.h"
#include "driver/FileSystem.h"
#include "report/Diagnostics.h"

namespace skerry {

// What a program that checks files adds to a file's report (the gate: how
// its filters classified the diagnostics).
struct FileAttachment {
  virtual ~FileAttachment() = default;
};

// What checking one path produced: the console text (the progress line, or
// its start alone when the file cannot be opened) and the diagnostics.
struct FileReport {
  std::string console;
  DiagnosticList diagnostics;
  std::unique_ptr<FileAttachment> attachment;
};

// Checks path if its text ends in a dot and c or h (either case), loading
// the companion header (the text with its last character replaced by "h")
// when that is another path and a regular file. Any other path gives an
// empty report. Files are read through files; the filled blocks of the
// diagnostics go to spill (when given) as they are filled, beyond
// memoryBound bytes; the file's lines are handed to fileLines (when given)
// after the check (RunSpineTest: SingleFile).
FileReport CheckSourceFile(const boost::filesystem::path& path, const FileSystem& files, SpillFile* spill = nullptr,
                           SourceLines* fileLines = nullptr, std::size_t memoryBound = 0);

// Whether a path text ends in a dot and c or h, in either case.
bool IsSourceFileText(const std::string& text);

}  // namespace skerry

#endif
