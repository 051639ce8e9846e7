// Reading a file into lines.
#ifndef SKERRY_DRIVER_SOURCE_LINE_LOADER_H
#define SKERRY_DRIVER_SOURCE_LINE_LOADER_H

#include <boost/filesystem/path.hpp>

#include "analysis/SourceLines.h"

namespace skerry {

// Reads the file at path into lines. Returns false, leaving lines empty,
// when the file cannot be opened or is not a regular file (a FIFO, device
// or socket is never read, so it cannot block the run). A read error in the
// middle keeps what was read and still returns true.
bool LoadSourceLines(SourceLines& lines, const boost::filesystem::path& path);

}  // namespace skerry

#endif
