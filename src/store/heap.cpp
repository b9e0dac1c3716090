#include "heap.h"

#include <cstdlib> // defines __GLIBC__ where glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace rusena {

void keepFreedHeap()
{
#if defined(__GLIBC__)
    // A long history builds and frees some MB of rows. glibc hands freed memory at the top
    // of the heap back as soon as it passes 128 KB, and the next query faults every page in
    // again: on ten years the history query took 9-11 ms instead of 3-6. Kept up to 64 MB,
    // and blocks below 8 MB taken from the heap (setting one limit fixes the other, which
    // glibc would otherwise raise as large blocks are freed).
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 8 << 20);
#endif
}

} // namespace rusena
