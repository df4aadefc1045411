#include "tools/sdd/freed_memory.h"

#include <malloc.h>

void keepFreedMemoryForReuse() {
    // Every member read, packed, checked or extracted allocates and frees blocks of some hundred KiB to a few
    // MiB (the member, the match finder's tables, the codes of a stretch, the packed stream). By default
    // glibc maps such blocks afresh and unmaps them when freed, so the next member pays a page fault for
    // every page it touches: on a tree of small files that was a tenth of the processor time. Kept, they are
    // reused; what is kept is no more than what the largest member needed at once, which the peak already
    // counts.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    // One pool for every thread: by default each thread that packs or reads ahead gets a pool of its own,
    // which keeps what that thread freed for it alone, and together they held some MiB more than one does.
    // The threads allocate seldom, and in large blocks, so they hardly ever wait for one another.
    mallopt(M_ARENA_MAX, 1);
}
