#include "driver/AllocatorTuning.h"

#include <cstdlib>  // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace skerry {

// glibc raises the size from which a buffer gets its own mapping to the
// largest buffer freed so far, so that after the first large file the
// buffers of files come from the heaps of the threads that check them and
// stay there when they are freed. A fixed size keeps every buffer of 1 MiB
// or more mapped and returns it when it is freed, so that the peak memory of
// a run stays near its diagnostics plus the files being checked.
//
// A fixed mapping size also fixes the size beyond which the free memory at
// the top of a heap is given back (128 KiB), so that a heap shrank after
// nearly every file and the next file met fresh pages again, a page fault
// each: a third of the run's system time on the Linux kernel. Keeping up to
// 4 MiB per heap avoids that at the cost of a few MB at most.
//
// Without fast bins, small blocks (the names of a file's records, freed
// together when its check ends) are merged as they are freed; with them,
// every large free after a file merges all of them in one go, which cost
// about 5 % of the time on trees made mostly of #define lines.
void TuneAllocator() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_TRIM_THRESHOLD, 4 << 20);
  mallopt(M_MXFAST, 0);
#endif
}

}  // namespace skerry
