// The two-line banner that starts every run.
#ifndef SKERRY_DRIVER_VERSION_BANNER_H
#define SKERRY_DRIVER_VERSION_BANNER_H

namespace skerry {

class OutputStream;

// The date the program was built, as "Jan  9 2020".
const char* BuildDate();

// Writes "<name> version <major>.<minor> from <build date>" and the notice,
// or nothing when the program carries no version information. On Windows
// the values come from the version resource of the program's own file (the
// process's module, however it was started; programPath is not needed);
// elsewhere from constants set by the build.
void PrintVersionBanner(const char* programPath, OutputStream& out);

}  // namespace skerry

#endif
