#ifndef SKERRY_DRIVER_USAGE_H
#define SKERRY_DRIVER_USAGE_H

namespace skerry {

// The short help text printed after an argument error.
void PrintUsage();

}  // namespace skerry

#endif
