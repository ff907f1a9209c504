// Counts every device object alive (devices, contexts, swap chains, resources, views,
// states, shaders, input layouts), by interface, so leak tests can check that everything
// created has been released, and a whole program can say what it left behind.
#pragma once

#include <cstddef>
#include <string>

namespace quarvel::d3d11 {

size_t LiveObjectCount();
// "ID3D11Buffer 3, ID3D11Device 1, ..." in name order, or "none": every object alive, and
// those the program still holds a reference to. The difference is what only the runtime
// keeps: objects still bound to the context and textures that only a view refers to, which
// Direct3D keeps just as long.
std::string LiveObjectSummary();
std::string HeldObjectSummary();

// Called by the objects counted above with the typeid name of the interface they are made
// for: at construction (alive and held), when the program's own count drops to zero and when
// it rises from zero again, and at destruction.
void ObjectCreated(const char* kind);
void ObjectReleased(const char* kind);
void ObjectRetained(const char* kind);
void ObjectDestroyed(const char* kind, bool stillHeld);

}  // namespace quarvel::d3d11
