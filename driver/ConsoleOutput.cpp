#include "driver/ConsoleOutput.h"

#include <boost/filesystem/path.hpp>
#include <cstdio>
#include <sstream>

namespace skerry {

void WriteText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void WriteLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string QuotedForm(const boost::filesystem::path& path) {
  // Boost.Filesystem writes a path quoted, with "&" as the escape character.
  std::ostringstream out;
  out << path;
  return out.str();
}

}  // namespace skerry
