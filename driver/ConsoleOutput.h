// Everything the checker prints goes to standard output through here.
#ifndef SKERRY_DRIVER_CONSOLE_OUTPUT_H
#define SKERRY_DRIVER_CONSOLE_OUTPUT_H

#include <boost/filesystem/path.hpp>
#include <string>
#include <string_view>

#include "driver/LineOutput.h"

namespace skerry {

// Writes text as it stands and flushes.
void WriteText(std::string_view text);

// The quoted form of a path: between double quotes, with every double quote
// and every ampersand preceded by an ampersand.
std::string QuotedForm(const boost::filesystem::path& path);

}  // namespace skerry

#endif
