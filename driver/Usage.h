#ifndef SKERRY_DRIVER_USAGE_H
#define SKERRY_DRIVER_USAGE_H

#include "report/OutputStream.h"

namespace skerry {

/// Writes the short help text that follows an argument error.
void PrintUsage(OutputStream& out);

}  // namespace skerry

#endif
