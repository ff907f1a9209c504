#include "heap_policy.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace quarvel::d3d11 {

// llvmpipe allocates and frees blocks of hundreds of KiB on the drawing thread for every
// draw. glibc's thresholds move with the process's history: in some processes such blocks
// come from fresh mappings or a heap trimmed after every free, each one paid again in page
// faults and zeroing (two to four times the frame time, varying from one process to the
// next). Fixed thresholds keep them in the heap. QUARVEL_HEAP_DEFAULTS=1 leaves glibc's
// own, to measure the difference.
void FixHeapPolicy() {
    static bool done = false;
    if (done) return;
    done = true;
    const char* keep = std::getenv("QUARVEL_HEAP_DEFAULTS");
    if (keep && std::strcmp(keep, "1") == 0) return;
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace quarvel::d3d11
