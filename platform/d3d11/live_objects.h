// Counts every device object alive (devices, contexts, swap chains, resources, views,
// states, shaders, input layouts), so leak tests can check that everything created has
// been released.
#pragma once

#include <cstddef>

namespace quarvel::d3d11 {

size_t LiveObjectCount();

// Called by the constructors and destructors of the objects counted above.
void ObjectCreated();
void ObjectDestroyed();

}  // namespace quarvel::d3d11
