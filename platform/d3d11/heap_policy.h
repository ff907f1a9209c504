// The process's allocator thresholds, fixed once the first device is made.
#pragma once

namespace quarvel::d3d11 {

void FixHeapPolicy();

}  // namespace quarvel::d3d11
