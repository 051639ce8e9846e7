// Settings of the C library's allocator for a run over a whole tree.
#ifndef SKERRY_DRIVER_ALLOCATOR_TUNING_H
#define SKERRY_DRIVER_ALLOCATOR_TUNING_H

namespace skerry {

// Keeps the peak memory of a run near its diagnostics plus the files being
// checked, and frees a file's small blocks cheaply (glibc; elsewhere a no-op).
void TuneAllocator();

}  // namespace skerry

#endif
