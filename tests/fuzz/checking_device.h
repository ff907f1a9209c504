// A device for fuzzing the loaders without a GPU. It makes buffers, 2D textures and their
// shader-resource views and nothing else, refuses descriptions as Direct3D 11 refuses them,
// and copies every byte of the initial contents the description says there are, in
// instrumented code: a loader that hands over fewer bytes than it describes is caught by
// AddressSanitizer at the copy. Every object it makes is counted until its last Release.
#pragma once

#include <d3d11.h>

namespace fuzz {

// A new device with one reference.
ID3D11Device* CreateCheckingDevice();

// Objects made by any checking device that are still alive (devices not counted).
int LiveObjects();

}  // namespace fuzz
