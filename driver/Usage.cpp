#include "driver/Usage.h"

#include <string>

namespace skerry {

void PrintUsage(OutputStream& out) {
  const std::string rule(54, ' ');
  out.Write(rule + "\n" +
            "Program Usage: Skerry_Lint [path]\n"
            "\n"
            "Note: \n"
            "    [path] is optional.\n"
            "      If not submitted, the current directory is used\n" +
            rule + "\n");
}

}  // namespace skerry
