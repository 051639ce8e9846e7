#include "driver/Usage.h"

#include "driver/ConsoleOutput.h"

namespace skerry {

void PrintUsage() {
  const std::string rule(54, ' ');
  WriteLine(rule);
  WriteLine("Program Usage: Skerry_Lint [path]");
  WriteLine("");
  WriteLine("Note: ");
  WriteLine("    [path] is optional.");
  WriteLine("      If not submitted, the current directory is used");
  WriteLine(rule);
}

}  // namespace skerry
