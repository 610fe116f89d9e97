#include "ProcessMemory.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    constexpr int kKept = 32 << 20;
    mallopt(M_MMAP_THRESHOLD, kKept);  // blocks below this come from the heap, whose pages are reused
    mallopt(M_TRIM_THRESHOLD, kKept);  // free space at the heap's end goes back only beyond this
#endif
}
