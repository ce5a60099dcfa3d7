#include "layout/heapforlayout.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace pennoro {

// Other C libraries are left with their own ways.

HeapForLayout::HeapForLayout()
{
#ifdef __GLIBC__
    mallopt(M_TRIM_THRESHOLD, -1);
    mallopt(M_MMAP_MAX, 0);
#endif
}

HeapForLayout::~HeapForLayout()
{
#ifdef __GLIBC__
    constexpr int mappedBlocksByDefault = 65536; // glibc's own limit on blocks mapped of their own
    mallopt(M_MMAP_MAX, mappedBlocksByDefault);
#endif
}

} // namespace pennoro
