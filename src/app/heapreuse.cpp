#include "app/heapreuse.h"

#include <cstdlib> // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace pennoro::heapreuse {

void keepLargeBlocks()
{
    // Other C libraries are left with their own ways.
#ifdef __GLIBC__
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, -1);
#endif
}

} // namespace pennoro::heapreuse
